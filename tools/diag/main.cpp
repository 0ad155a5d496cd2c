#include "diag.h"
#include "system_dlls.h"

int main(int argc, char** argv) {
    char missing[SystemDllsMissingRoom];
    return RunDiagnosis(argc, argv, LoadSystemDlls(missing) ? NULL : missing);
}

#include "console.h"
#include "diag.h"
#include "system_dlls.h"

int main(int argc, char** argv) {
    if (LoadSystemDlls())
        return RunDiagnosis(argc, argv);
    if (HasSeenConsoleOfItsOwn())
        WaitForEnter();
    return DiagCouldNotLook;
}

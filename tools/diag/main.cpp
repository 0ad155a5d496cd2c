#include "diag.h"

int main(int argc, char** argv) {
    return RunDiagnosis(argc, argv);
}

// Arbitrary command lines through the program's entry on a machine with the camera. Whatever
// the text, the program ends with exit code 0 and gives back everything it took.
#include <winsim.h>

#include "check.h"

#include <string>

#include "app/entry.h"
#include "machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetUpMachine(XpWithCamera);
    // The monitor's loop ends as soon as it would wait: nothing else happens on this machine.
    std::string commandLine(reinterpret_cast<const char*>(data), size);
    winsim::SetCommandLine(commandLine);
    ProgramEntry();
    Check(winsim::ExitCode() == 0);
    Check(winsim::HeapBlocksInUse() == 0 && winsim::OpenRegistryKeys() == 0 &&
          winsim::OpenDeviceInfoSets() == 0 && winsim::ComReferences() == 0);
    return 0;
}

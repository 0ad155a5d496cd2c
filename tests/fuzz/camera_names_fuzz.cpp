// Arbitrary friendly names in the video input category and an arbitrary wanted name, through
// one command. Whatever the names, the channel ends closed with nothing referenced.
#include <fuzzer/FuzzedDataProvider.h>
#include <winsim.h>

#include "check.h"
#include "camera/camera_channel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    winsim::Reset();

    int devices = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < devices; ++i) {
        std::wstring name;
        for (size_t length = input.ConsumeIntegralInRange(0, 400); length; --length)
            name += static_cast<wchar_t>(input.ConsumeIntegralInRange(1, 0x3FF));
        winsim::AddVideoDevice(name, input.ConsumeIntegralInRange(0u, 31u));
    }
    SetCameraDeviceName(input.ConsumeRandomLengthString(400).c_str());

    BOOL sent = SendCameraCommand(Normal);
    Check(winsim::ComReferences() == 0 && winsim::BstrsInUse() == 0);
    Check(winsim::CoInitializeCalls() == winsim::CoUninitializeCalls());
    Check(!sent || !winsim::PropertyWrites().empty());
    return 0;
}

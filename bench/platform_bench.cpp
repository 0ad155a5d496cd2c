#include <benchmark/benchmark.h>
#include <winsim.h>
#include <winsim/devices.h>

#include "camera/camera_channel.h"
#include "devices/discovery.h"
#include "devices/hardware_ids.h"

namespace {

// The wider search over N USB nodes, the supported camera last: the whole list is walked.
void BM_FindSupportedCamera_UsbNodes(benchmark::State& state) {
    winsim::Reset();
    const int nodes = static_cast<int>(state.range(0));
    for (int i = 0; i < nodes; ++i) {
        winsim::DeviceNode node;
        node.instanceId = "USB\\VID_1234&PID_0001\\" + std::to_string(i);
        node.hardwareIds =
            winsim::MultiString({"USB\\VID_1234&PID_0001&REV_0100", "USB\\VID_1234&PID_0001"});
        winsim::AddDeviceNode(node);
    }
    winsim::DeviceNode camera;
    camera.instanceId = "USB\\VID_0C45&PID_63F5&MI_00\\6&1&0&0000";
    camera.hardwareIds = winsim::MultiString({SupportedHardwareIds[5]});
    camera.driverKey = "System\\CurrentControlSet\\Control\\Class\\{image}\\0000";
    winsim::AddDeviceNode(camera);
    winsim::SetRegistryString(HKEY_LOCAL_MACHINE, camera.driverKey, "FriendlyName", "Camera");
    winsim::SetRegistryDword(HKEY_LOCAL_MACHINE, camera.driverKey, "SelectiveSuspend", 1);

    char desc[MAX_PATH], name[MAX_PATH];
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount,
                                                     desc, MAX_PATH, name, MAX_PATH));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindSupportedCamera_UsbNodes)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

void BM_SendCameraCommand(benchmark::State& state) {
    winsim::Reset();
    winsim::AddVideoDevice(L"Integrated Webcam");
    winsim::AddVideoDevice(L"QX481 Camera");
    SetCameraDeviceName("QX481 Camera");
    for (auto _ : state)
        benchmark::DoNotOptimize(SendCameraCommand(Normal));
}
BENCHMARK(BM_SendCameraCommand);

} // namespace

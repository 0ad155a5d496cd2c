// Shared inside the simulation: each area's reset, called by winsim::Reset(), and name order.
#pragma once
#include <windef.h>

#include <string>

namespace winsim {
void ResetKernel();
void ResetPower();
void ResetRegistry();
void ResetDevices();
void ResetCom();
void ResetWindows();

// Orders names as the registry and the device tree compare them: ASCII case ignored.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return _stricmp(a.c_str(), b.c_str()) < 0;
    }
};
} // namespace winsim

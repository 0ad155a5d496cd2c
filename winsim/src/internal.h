// Shared inside the simulation: each area's reset, called by winsim::Reset().
#pragma once

namespace winsim {
void ResetKernel();
void ResetPower();
void ResetRegistry();
void ResetDevices();
void ResetCom();
void ResetWindows();
} // namespace winsim

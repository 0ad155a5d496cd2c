#include "internal.h"

namespace winsim {

void ResetDevices() {}

} // namespace winsim

#include "internal.h"

namespace winsim {

void ResetWindows() {}

} // namespace winsim

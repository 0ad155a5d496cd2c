#include "internal.h"

namespace winsim {

void ResetRegistry() {}

} // namespace winsim

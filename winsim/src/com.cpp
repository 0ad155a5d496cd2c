#include "internal.h"

namespace winsim {

void ResetCom() {}

} // namespace winsim

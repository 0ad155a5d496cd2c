// Controls of the simulated KERNEL32: the heap, the program's identity and the Windows version.
#pragma once
#include <windows.h>

namespace winsim {

// Heap blocks allocated and not yet freed.
int HeapBlocksInUse();

} // namespace winsim

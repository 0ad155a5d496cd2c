#include <winsim/core.h>
#include <winsim/kernel.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "internal.h"

namespace winsim {
namespace {

struct KernelState {
    std::set<void*> heapBlocks;
};
KernelState kernel;

HANDLE const processHeap = reinterpret_cast<HANDLE>(0x4E11);

} // namespace

void ResetKernel() {
    for (void* block : kernel.heapBlocks)
        std::free(block);
    kernel = KernelState();
}

int HeapBlocksInUse() {
    return static_cast<int>(kernel.heapBlocks.size());
}

} // namespace winsim

using winsim::kernel;

HANDLE WINAPI GetProcessHeap() {
    return winsim::processHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (winsim::ShouldFail("HeapAlloc") || heap != winsim::processHeap)
        return NULL;
    // Fill with garbage unless zeroing was asked for, as a real heap may.
    void* block = std::malloc(bytes ? bytes : 1);
    std::memset(block, (flags & HEAP_ZERO_MEMORY) ? 0 : 0xCD, bytes ? bytes : 1);
    kernel.heapBlocks.insert(block);
    return block;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (heap != winsim::processHeap || !kernel.heapBlocks.erase(block))
        return FALSE;
    std::free(block);
    return TRUE;
}

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    int order = _stricmp(a ? a : "", b ? b : "");
    return order < 0 ? -1 : order > 0;
}

LPSTR WINAPI lstrcatA(LPSTR destination, LPCSTR source) {
    return std::strcat(destination, source);
}

int WINAPI lstrlenA(LPCSTR text) {
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

LPSTR WINAPI lstrcpynA(LPSTR destination, LPCSTR source, int capacity) {
    if (capacity <= 0)
        return destination;
    int i = 0;
    for (; i < capacity - 1 && source[i]; ++i)
        destination[i] = source[i];
    destination[i] = 0;
    return destination;
}

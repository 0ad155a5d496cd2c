#include <winsim/core.h>
#include <winsim/kernel.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "internal.h"

namespace winsim {
namespace {

struct KernelState {
    std::set<void*> heapBlocks;
    std::string commandLine = "\"C:\\WINDOWS\\QX481Mon.exe\"";
    std::string modulePath = "C:\\WINDOWS\\QX481Mon.exe";
    std::string windowsDirectory = "C:\\WINDOWS";
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD major = 5;
    DWORD minor = 1;
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

void SetCommandLine(const std::string& commandLine) {
    kernel.commandLine = commandLine;
}

void SetModulePath(const std::string& path) {
    kernel.modulePath = path;
}

void SetWindowsDirectory(const std::string& path) {
    kernel.windowsDirectory = path;
}

void SetWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
    kernel.platformId = platformId;
    kernel.major = major;
    kernel.minor = minor;
}

// Copies text with its NUL when it fits, as the path calls do: the length without the NUL on
// success, the size needed (NUL included) when the buffer is too small.
static DWORD CopyPath(const std::string& text, LPSTR buffer, DWORD capacity) {
    if (text.size() + 1 > capacity)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
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

LPSTR WINAPI GetCommandLineA() {
    return &kernel.commandLine[0];
}

DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR path, DWORD capacity) {
    if (winsim::ShouldFail("GetModuleFileNameA") || kernel.modulePath.empty())
        return 0;
    // Windows XP cuts a path that does not fit and leaves it without its NUL.
    if (kernel.modulePath.size() >= capacity) {
        std::memcpy(path, kernel.modulePath.data(), capacity);
        return capacity;
    }
    return winsim::CopyPath(kernel.modulePath, path, capacity);
}

DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD capacity, LPSTR path, LPSTR* filePart) {
    if (winsim::ShouldFail("GetFullPathNameA"))
        return 0;
    std::string full(name); // name and path may be the same buffer
    DWORD length = winsim::CopyPath(full, path, capacity);
    if (length < capacity && filePart) {
        size_t slash = full.find_last_of('\\');
        size_t start = slash == std::string::npos ? 0 : slash + 1;
        *filePart = start < full.size() ? path + start : NULL;
    }
    return length;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR path, UINT capacity) {
    if (winsim::ShouldFail("GetWindowsDirectoryA"))
        return 0;
    return winsim::CopyPath(kernel.windowsDirectory, path, capacity);
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (winsim::ShouldFail("GetVersionExA") || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    info->dwMajorVersion = kernel.major;
    info->dwMinorVersion = kernel.minor;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = kernel.platformId;
    info->szCSDVersion[0] = 0;
    return TRUE;
}

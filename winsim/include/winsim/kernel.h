// Controls of the simulated KERNEL32: the heap, the program's identity and the Windows version.
#pragma once
#include <windows.h>

#include <string>

namespace winsim {

// Heap blocks allocated and not yet freed.
int HeapBlocksInUse();

// The whole command line, program name included, as GetCommandLineA gives it.
void SetCommandLine(const std::string& commandLine);
// The running copy's path; empty makes GetModuleFileNameA fail. GetFullPathNameA takes paths
// as already full, so one ending in a backslash has no file-name part.
void SetModulePath(const std::string& path);
void SetWindowsDirectory(const std::string& path);
void SetWindowsVersion(DWORD platformId, DWORD major, DWORD minor);

} // namespace winsim

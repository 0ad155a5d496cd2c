// Controls of the simulated KERNEL32: the heap, the program's identity, the Windows version,
// standard output, files and processes.
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

// What the program wrote to its standard output.
std::string ConsoleOutput();
// A file that exists, for GetFileAttributesA (ASCII case ignored).
void AddFile(const std::string& path);
// A running process, by the file name a process snapshot gives for it.
void AddProcess(const std::string& exeFile);
// Kernel handles (snapshots) obtained and not yet closed.
int OpenKernelHandles();

} // namespace winsim

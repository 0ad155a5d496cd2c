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
// The code the program gave ExitProcess, which returns here; until then 259, the STILL_ACTIVE
// of a process that is running.
DWORD ExitCode();
// The running copy's path; empty makes GetModuleFileNameA fail. GetFullPathNameA takes paths
// as already full, so one ending in a backslash has no file-name part.
void SetModulePath(const std::string& path);
void SetWindowsDirectory(const std::string& path);
void SetWindowsVersion(DWORD platformId, DWORD major, DWORD minor);

// What the program wrote to its standard output.
std::string ConsoleOutput();
// A file that exists, for GetFileAttributesA (ASCII case ignored).
void AddFile(const std::string& path);
// A running process, by the file name a process snapshot gives for it, in the given session; it
// ends once Sleep has moved the tick count on by endsAfter milliseconds. Snapshots also list the
// program's own process, named by the file part of its module path, in session 0.
void AddProcess(const std::string& exeFile, DWORD sessionId = 0, DWORD endsAfter = INFINITE);
// The session of another user's process, which ProcessIdToSessionId cannot read.
const DWORD UnreadableSession = 0xFFFFFFFF;
// Kernel handles (snapshots) obtained and not yet closed.
int OpenKernelHandles();

} // namespace winsim

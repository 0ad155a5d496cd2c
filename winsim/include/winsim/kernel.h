// Controls of the simulated KERNEL32: the heap, the program's identity, the Windows version,
// the console, files and processes; and of the one SHELL32 and the VERSION calls.
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
// Whether the person at the machine sees the program's console: its window shown; its window
// hidden (a script's SW_HIDE); no window (CREATE_NO_WINDOW); or shown on a window station that
// no user sees (a service's).
enum ConsoleWindow {
    ConsoleWindowShown,
    ConsoleWindowHidden,
    ConsoleWithoutWindow,
    ConsoleOnUnseenStation
};
// The processes attached to the program's console (started from a command prompt: 2, the
// default; from Explorer: 1; without a console: 0), whether its standard output is that
// console rather than a file or a pipe, and who sees it.
void SetConsole(DWORD processes, bool outputIsConsole = true,
                ConsoleWindow window = ConsoleWindowShown);
// Reads of standard input made: each waits for the Enter that it gets.
int InputReads();

// A file that exists (ASCII case ignored), with a version block of that fixed file version
// unless both halves are 0.
void AddFile(const std::string& path, DWORD versionMS = 0, DWORD versionLS = 0);
// What the program wrote into a file, empty when it made none.
std::string FileContent(const std::string& path);
// Bytes that all files together may still grow by; a write beyond fails, ERROR_DISK_FULL.
void SetDiskSpace(DWORD bytes);
// The computer is SUPPORT-PC, its local time 2026-03-04 05:06:07, and the desktop folder
// (CSIDL_DESKTOPDIRECTORY) C:\Documents and Settings\Support\Desktop.
// A running process, by the file name a process snapshot gives for it, in the given session; it
// ends once Sleep has moved the tick count on by endsAfter milliseconds. Snapshots also list the
// program's own process, named by the file part of its module path, in session 0.
void AddProcess(const std::string& exeFile, DWORD sessionId = 0, DWORD endsAfter = INFINITE);
// The session of another user's process, which ProcessIdToSessionId cannot read.
const DWORD UnreadableSession = 0xFFFFFFFF;
// Kernel handles (snapshots, files) obtained and not yet closed.
int OpenKernelHandles();

} // namespace winsim

#include <winsim/core.h>
#include <winsim/kernel.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "internal.h"

namespace winsim {
namespace {

struct Process {
    std::string exeFile;
    DWORD id;
    DWORD sessionId;
    DWORD endsAfter;
};

struct File {
    DWORD versionMS = 0, versionLS = 0; // no version block when both are 0
    std::string content;
};

struct KernelState {
    std::set<void*> heapBlocks;
    std::string commandLine = "\"C:\\WINDOWS\\QX481Mon.exe\"";
    DWORD exitCode = 259;
    std::string modulePath = "C:\\WINDOWS\\QX481Mon.exe";
    std::string windowsDirectory = "C:\\WINDOWS";
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD major = 5;
    DWORD minor = 1;
    std::string console;
    DWORD consoleProcesses = 2;
    bool outputIsConsole = true;
    ConsoleWindow consoleWindow = ConsoleWindowShown;
    int inputReads = 0;
    DWORD lastError = 0;
    std::map<std::string, File, NoCase> files;
    std::map<HANDLE, std::string> openFiles;
    DWORD diskSpace = 0xFFFFFFFF;
    std::vector<Process> processes;
    // Each snapshot: the processes it holds and the next one Process32Next gives.
    std::map<HANDLE, std::pair<std::vector<Process>, size_t>> snapshots;
    ULONG_PTR lastHandle = 0x7000;
    // Starts shortly before the count wraps, as it does every 49.7 days.
    DWORD ticks = 0xFFFFF000;
    DWORD slept = 0;
};
KernelState kernel;

const DWORD OwnProcessId = 0xF0;

HMODULE const ownModule = reinterpret_cast<HMODULE>(0x400000);
HANDLE const processHeap = reinterpret_cast<HANDLE>(0x4E11);
HANDLE const standardInput = reinterpret_cast<HANDLE>(0x5D4);
HANDLE const standardOutput = reinterpret_cast<HANDLE>(0x5D0);
HWND const consoleWindow = reinterpret_cast<HWND>(0x10C0);
HWINSTA const windowStation = reinterpret_cast<HWINSTA>(0x2C);

// Fills entry with the snapshot's next process; FALSE at its end (ERROR_NO_MORE_FILES).
BOOL NextProcess(HANDLE snapshot, LPPROCESSENTRY32 entry) {
    auto found = kernel.snapshots.find(snapshot);
    if (found == kernel.snapshots.end() || !entry || entry->dwSize != sizeof(PROCESSENTRY32))
        return FALSE;
    auto& [processes, next] = found->second;
    if (next >= processes.size())
        return FALSE;
    const std::string& name = processes[next].exeFile;
    std::memset(&entry->cntUsage, 0, sizeof *entry - sizeof entry->dwSize);
    entry->th32ProcessID = processes[next].id;
    name.copy(entry->szExeFile, MAX_PATH - 1);
    entry->szExeFile[std::min<size_t>(name.size(), MAX_PATH - 1)] = 0;
    ++next;
    return TRUE;
}

// The processes running now, the program's own first.
std::vector<Process> RunningProcesses() {
    std::string own = kernel.modulePath.substr(kernel.modulePath.find_last_of('\\') + 1);
    std::vector<Process> running = {{own, OwnProcessId, 0, INFINITE}};
    for (const Process& process : kernel.processes)
        if (kernel.slept < process.endsAfter)
            running.push_back(process);
    return running;
}

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

DWORD ExitCode() {
    return kernel.exitCode;
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

std::string ConsoleOutput() {
    return kernel.console;
}

void SetConsole(DWORD processes, bool outputIsConsole, ConsoleWindow window) {
    kernel.consoleProcesses = processes;
    kernel.outputIsConsole = outputIsConsole;
    kernel.consoleWindow = window;
}

int InputReads() {
    return kernel.inputReads;
}

void AddFile(const std::string& path, DWORD versionMS, DWORD versionLS) {
    kernel.files[path] = {versionMS, versionLS, ""};
}

std::string FileContent(const std::string& path) {
    auto found = kernel.files.find(path);
    return found == kernel.files.end() ? "" : found->second.content;
}

void SetDiskSpace(DWORD bytes) {
    kernel.diskSpace = bytes;
}

void AddProcess(const std::string& exeFile, DWORD sessionId, DWORD endsAfter) {
    DWORD id = static_cast<DWORD>(0x100 + 4 * kernel.processes.size());
    kernel.processes.push_back({exeFile, id, sessionId, endsAfter});
}

int OpenKernelHandles() {
    return static_cast<int>(kernel.snapshots.size() + kernel.openFiles.size());
}

// A simulated call's failure, with its error code for GetLastError.
static BOOL Fail(DWORD error) {
    kernel.lastError = error;
    return FALSE;
}

static const File* VersionedFile(LPCSTR path) {
    auto found = path ? kernel.files.find(path) : kernel.files.end();
    if (found == kernel.files.end() || !(found->second.versionMS | found->second.versionLS))
        return nullptr;
    return &found->second;
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

// The program asks only for its own module, by a NULL name.
HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    return name ? NULL : winsim::ownModule;
}

void WINAPI ExitProcess(UINT exitCode) {
    kernel.exitCode = exitCode;
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

// The environment holds SystemRoot, the Windows directory; other names stay as they are written.
DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD capacity) {
    if (winsim::ShouldFail("ExpandEnvironmentStringsA"))
        return 0;
    std::string text = source;
    for (size_t start = 0; (start = text.find('%', start)) != std::string::npos;) {
        size_t end = text.find('%', start + 1);
        if (end == std::string::npos)
            break;
        std::string name = text.substr(start + 1, end - start - 1);
        if (_stricmp(name.c_str(), "SystemRoot")) {
            start = end;
            continue;
        }
        text.replace(start, end - start + 1, kernel.windowsDirectory);
        start += kernel.windowsDirectory.size();
    }
    // The size with the NUL, whether it fitted or not.
    winsim::CopyPath(text, expanded, capacity);
    return static_cast<DWORD>(text.size() + 1);
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

DWORD WINAPI GetLastError() {
    return kernel.lastError;
}

void WINAPI SetLastError(DWORD error) {
    kernel.lastError = error;
}

HANDLE WINAPI GetStdHandle(DWORD which) {
    if (winsim::ShouldFail("GetStdHandle"))
        return INVALID_HANDLE_VALUE;
    if (which == STD_INPUT_HANDLE)
        return winsim::standardInput;
    return which == STD_OUTPUT_HANDLE ? winsim::standardOutput : INVALID_HANDLE_VALUE;
}

DWORD WINAPI GetConsoleProcessList(LPDWORD processes, DWORD count) {
    if (winsim::ShouldFail("GetConsoleProcessList") || !kernel.consoleProcesses)
        return winsim::Fail(ERROR_INVALID_HANDLE);
    for (DWORD i = 0; i < kernel.consoleProcesses && i < count; ++i)
        processes[i] = winsim::OwnProcessId + i;
    return kernel.consoleProcesses;
}

BOOL WINAPI GetConsoleMode(HANDLE console, LPDWORD mode) {
    if (winsim::ShouldFail("GetConsoleMode") || console != winsim::standardOutput ||
        !kernel.consoleProcesses || !kernel.outputIsConsole)
        return winsim::Fail(ERROR_INVALID_HANDLE);
    *mode = 3; // ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT
    return TRUE;
}

HWND WINAPI GetConsoleWindow() {
    if (!kernel.consoleProcesses || kernel.consoleWindow == winsim::ConsoleWithoutWindow)
        return NULL;
    return winsim::consoleWindow;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    return window == winsim::consoleWindow && kernel.consoleWindow != winsim::ConsoleWindowHidden;
}

HWINSTA WINAPI GetProcessWindowStation() {
    return winsim::windowStation;
}

BOOL WINAPI GetUserObjectInformationA(HANDLE object, int index, PVOID information, DWORD size,
                                      LPDWORD needed) {
    if (winsim::ShouldFail("GetUserObjectInformationA") || object != winsim::windowStation ||
        index != UOI_FLAGS || size < sizeof(USEROBJECTFLAGS))
        return winsim::Fail(ERROR_INVALID_PARAMETER);
    *needed = sizeof(USEROBJECTFLAGS);
    USEROBJECTFLAGS* flags = static_cast<USEROBJECTFLAGS*>(information);
    flags->fInherit = flags->fReserved = FALSE;
    flags->dwFlags = kernel.consoleWindow == winsim::ConsoleOnUnseenStation ? 0 : WSF_VISIBLE;
    return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD, HANDLE) {
    // The program only ever writes a file anew.
    if (winsim::ShouldFail("CreateFileA") || !path || !*path || access != GENERIC_WRITE ||
        disposition != CREATE_ALWAYS) {
        winsim::Fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    kernel.files[path] = winsim::File();
    kernel.lastHandle += 4;
    HANDLE file = reinterpret_cast<HANDLE>(kernel.lastHandle);
    kernel.openFiles[file] = path;
    return file;
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED) {
    *read = 0;
    if (winsim::ShouldFail("ReadFile") || file != winsim::standardInput || size < 2)
        return winsim::Fail(ERROR_INVALID_HANDLE);
    ++kernel.inputReads;
    std::memcpy(data, "\r\n", 2);
    *read = 2;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
    if (written)
        *written = 0;
    auto open = kernel.openFiles.find(file);
    if (winsim::ShouldFail("WriteFile") || (!data && size) ||
        (file != winsim::standardOutput && open == kernel.openFiles.end()))
        return winsim::Fail(ERROR_INVALID_HANDLE);
    if (file == winsim::standardOutput) {
        kernel.console.append(static_cast<const char*>(data), size);
    } else {
        if (size > kernel.diskSpace)
            return winsim::Fail(ERROR_DISK_FULL);
        kernel.diskSpace -= size;
        kernel.files[open->second].content.append(static_cast<const char*>(data), size);
    }
    if (written)
        *written = size;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    // A failed close still gives the handle up: the caller has nothing left to do with it.
    bool fail = winsim::ShouldFail("CloseHandle");
    bool known = kernel.snapshots.erase(handle) || kernel.openFiles.erase(handle);
    return known && !fail ? TRUE : winsim::Fail(ERROR_INVALID_HANDLE);
}

DWORD WINAPI GetFileAttributesA(LPCSTR path) {
    if (winsim::ShouldFail("GetFileAttributesA") || !path || !kernel.files.count(path))
        return INVALID_FILE_ATTRIBUTES;
    return FILE_ATTRIBUTE_ARCHIVE;
}

BOOL WINAPI GetComputerNameA(LPSTR name, LPDWORD size) {
    if (winsim::ShouldFail("GetComputerNameA"))
        return winsim::Fail(ERROR_ACCESS_DENIED);
    DWORD length = winsim::CopyPath("SUPPORT-PC", name, *size);
    if (length >= *size)
        return winsim::Fail(ERROR_INSUFFICIENT_BUFFER);
    *size = length;
    return TRUE;
}

void WINAPI GetLocalTime(SYSTEMTIME* time) {
    *time = {2026, 3, 3, 4, 5, 6, 7, 890};
}

HRESULT WINAPI SHGetFolderPathA(HWND, int folder, HANDLE, DWORD, LPSTR path) {
    if (winsim::ShouldFail("SHGetFolderPathA") || folder != CSIDL_DESKTOPDIRECTORY)
        return E_FAIL;
    winsim::CopyPath("C:\\Documents and Settings\\Support\\Desktop", path, MAX_PATH);
    return S_OK;
}

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR path, LPDWORD) {
    if (winsim::ShouldFail("GetFileVersionInfoSizeA") || !winsim::VersionedFile(path))
        return winsim::Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return sizeof(VS_FIXEDFILEINFO);
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID block) {
    const winsim::File* file = winsim::VersionedFile(path);
    if (winsim::ShouldFail("GetFileVersionInfoA") || !file || size < sizeof(VS_FIXEDFILEINFO))
        return winsim::Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    VS_FIXEDFILEINFO info = {};
    info.dwSignature = 0xFEEF04BD;
    info.dwFileVersionMS = file->versionMS;
    info.dwFileVersionLS = file->versionLS;
    std::memcpy(block, &info, sizeof info);
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length) {
    if (winsim::ShouldFail("VerQueryValueA") || std::strcmp(subBlock, "\\"))
        return FALSE;
    *value = const_cast<LPVOID>(block);
    *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}

HANDLE WINAPI CreateToolhelp32Snapshot(DWORD flags, DWORD) {
    if (winsim::ShouldFail("CreateToolhelp32Snapshot") || !(flags & TH32CS_SNAPPROCESS))
        return INVALID_HANDLE_VALUE;
    kernel.lastHandle += 4;
    HANDLE snapshot = reinterpret_cast<HANDLE>(kernel.lastHandle);
    kernel.snapshots[snapshot] = {winsim::RunningProcesses(), 0};
    return snapshot;
}

BOOL WINAPI Process32First(HANDLE snapshot, LPPROCESSENTRY32 entry) {
    if (winsim::ShouldFail("Process32First"))
        return FALSE;
    auto found = kernel.snapshots.find(snapshot);
    if (found != kernel.snapshots.end())
        found->second.second = 0;
    return winsim::NextProcess(snapshot, entry);
}

BOOL WINAPI Process32Next(HANDLE snapshot, LPPROCESSENTRY32 entry) {
    if (winsim::ShouldFail("Process32Next"))
        return FALSE;
    return winsim::NextProcess(snapshot, entry);
}

DWORD WINAPI GetCurrentProcessId() {
    return winsim::OwnProcessId;
}

BOOL WINAPI ProcessIdToSessionId(DWORD processId, DWORD* sessionId) {
    if (winsim::ShouldFail("ProcessIdToSessionId"))
        return FALSE;
    for (const winsim::Process& process : winsim::RunningProcesses())
        if (process.id == processId && process.sessionId != winsim::UnreadableSession) {
            *sessionId = process.sessionId;
            return TRUE;
        }
    return FALSE;
}

DWORD WINAPI GetTickCount() {
    return kernel.ticks;
}

void WINAPI Sleep(DWORD milliseconds) {
    kernel.ticks += milliseconds;
    kernel.slept += milliseconds;
}

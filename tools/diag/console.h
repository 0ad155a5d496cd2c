// The support tool's output: its report, line by line, on standard output; copies of the
// report in files; and what it says to the person at its console.
#pragma once
#include <windows.h>

// Formats one line of the report as wvsprintfA does (at most 1024 characters) and writes it
// with CR LF, keeping it for the report's copies.
void Print(const char* format, ...);
// The same for a line that is no part of the report: what the tool tells whoever reads it.
void Tell(const char* format, ...);
// From now on the report's lines are kept in room, for its copies; NULL stops keeping them.
void KeepReport(char* room, DWORD size);
// Writes the lines kept to a file, replacing one of that name. FALSE on failure, with
// GetLastError's code.
BOOL SaveReport(const char* path);

// TRUE when the tool writes into a console window of its own, which closes as the tool ends,
// and a user can see that window: started from Explorer. From a command prompt it shares the
// prompt's console. A script or a deployment tool gives it no console, sends its output to a
// file or a pipe, or gives it a console of its own that nobody sees: without a window
// (CREATE_NO_WINDOW), with its window hidden (a script's Run with window style 0, a scheduled
// task), or on a service's window station.
BOOL HasSeenConsoleOfItsOwn();
// Asks for Enter and waits until it is pressed (or the input ends).
void WaitForEnter();

// The support tool's output: its report, line by line, on standard output.
#pragma once

// Formats one line as wvsprintfA does (at most 1024 characters) and writes it with CR LF.
void Print(const char* format, ...);

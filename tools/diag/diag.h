// QX481Diag: the support tool's report on whether the monitor runs on this machine, and why.
#pragma once

// Exit codes, each with a verdict of its own, so that a script can act on them.
const int DiagRuns = 0;         // the machine qualifies and a monitor runs in this session
const int DiagDoesNotRun = 1;   // the machine does not qualify: the monitor ends at once
const int DiagUsage = 2;        // the command line is wrong
const int DiagSendFailed = 3;   // a --send failed
const int DiagSaveFailed = 4;   // the report could not be saved to the file --save names
const int DiagNotStarted = 5;   // it qualifies, but nothing starts the monitor at log-on
const int DiagNotRunning = 6;   // it qualifies and the monitor is registered, but none runs here
const int DiagCouldNotLook = 7; // could not look: system DLLs, imaging class, Run value, processes

// Writes the report to standard output; with "--send COMMAND" sends that one command to the
// camera first, with "--save FILE" writes the report to FILE too. In a console window of its
// own that a user sees, it also saves the report on the desktop, says where, and waits for
// Enter. argv as main receives it. systemDllsMissing: NULL when the system DLLs that discovery
// calls are loaded, else what LoadSystemDlls found missing; the camera is then not looked for,
// and everything else is. Returns the exit code.
int RunDiagnosis(int argc, char** argv, const char* systemDllsMissing);

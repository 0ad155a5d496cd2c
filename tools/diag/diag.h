// QX481Diag: the support tool's report on whether the monitor runs on this machine, and why.
#pragma once

// Exit codes.
const int DiagRuns = 0;       // the monitor runs on this machine
const int DiagDoesNotRun = 1; // it does not
const int DiagUsage = 2;      // the command line is wrong
const int DiagSendFailed = 3; // a --send failed
const int DiagSaveFailed = 4; // the report could not be saved to the file --save names

// Writes the report to standard output; with "--send COMMAND" sends that one command to the
// camera first, with "--save FILE" writes the report to FILE too. In a console window of its
// own it also saves the report on the desktop, says where, and waits for Enter. argv as main
// receives it. Returns the exit code.
int RunDiagnosis(int argc, char** argv);

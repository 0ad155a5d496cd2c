// QX481Diag: the support tool's report on whether the monitor runs on this machine, and why.
#pragma once

// Exit codes.
const int DiagRuns = 0;       // the monitor runs on this machine
const int DiagDoesNotRun = 1; // it does not
const int DiagUsage = 2;      // the command line is wrong
const int DiagSendFailed = 3; // a --send failed

// Writes the report to standard output; with "--send COMMAND" sends that one command to the
// camera first. argv as main receives it. Returns the exit code.
int RunDiagnosis(int argc, char** argv);

// Installation: the autostart value under the machine's Run key, and the broadcast that makes
// every running instance quit.
#pragma once
#include <windows.h>

// Writes (enable) or deletes the autostart value. Silent about every failure: without the
// rights to the Run key nothing changes.
void SetAutostart(BOOL enable);

// Posts the quit message to all applications; running monitors end, other windows ignore it.
void BroadcastQuit();

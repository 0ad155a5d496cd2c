// The cameras the monitor serves, by USB hardware ID, and the test of a device's ID list.
#pragma once
#include <windows.h>

// The table, in hardware_ids.cpp; its count is what the compiler counts there.
extern const char* const SupportedHardwareIds[];
extern const DWORD SupportedHardwareIdCount;

// 1 when a piece of the REG_MULTI_SZ list equals one of the ids (ASCII case ignored); entry,
// when given, then receives that id's place in ids. Cuts the list at its commas in place.
BOOL MatchHardwareIdList(char* list, const char* const* ids, DWORD count, DWORD* entry = NULL);

// Copies ids[0] into buffer (at least MAX_PATH bytes) and returns the part before its first
// backslash: the enumerator that names the devices ("USB").
char* EnumeratorName(const char* const* ids, char* buffer);

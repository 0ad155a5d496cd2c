// Controls of the simulated registry.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace winsim {

// Stores a value, creating the key path under the root as needed.
void SetRegistryValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                      const std::vector<BYTE>& data);
void SetRegistryString(HKEY root, const std::string& path, const std::string& name,
                       const std::string& text); // REG_SZ with its NUL
void SetRegistryDword(HKEY root, const std::string& path, const std::string& name, DWORD value);

// Reads a value back; false when the key or the value does not exist.
bool GetRegistryValue(HKEY root, const std::string& path, const std::string& name, DWORD* type,
                      std::vector<BYTE>* data);
bool RegistryKeyExists(HKEY root, const std::string& path);

// Opening this key asking for any of these rights fails with ERROR_ACCESS_DENIED.
void DenyKeyAccess(HKEY root, const std::string& path, REGSAM rights);

// Opens a key for the simulation's own callers (the device tree's driver keys), counted like
// any other open key; nullptr when it does not exist or the access is denied.
HKEY OpenRegistryKey(HKEY root, const std::string& path, REGSAM access = KEY_ALL_ACCESS);

// Keys opened and not yet closed.
int OpenRegistryKeys();

} // namespace winsim

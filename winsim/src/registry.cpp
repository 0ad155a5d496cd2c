#include <winsim/core.h>
#include <winsim/registry.h>

#include <algorithm>
#include <map>
#include <memory>

#include "internal.h"

namespace winsim {
namespace {

struct Value {
    DWORD type;
    std::vector<BYTE> data;
};

struct Key {
    std::map<std::string, std::unique_ptr<Key>, NoCase> subkeys;
    std::map<std::string, Value, NoCase> values;
    REGSAM denied = 0;
};

struct OpenKey {
    Key* key;
    REGSAM access;
};

struct RegistryState {
    std::map<HKEY, Key> roots;
    std::map<HKEY, OpenKey> open;
    ULONG_PTR lastHandle = 0x1000;
};
RegistryState registry;

// Only the rights that name what may be done with a key; the standard rights that KEY_READ and
// KEY_WRITE share say nothing about it.
const REGSAM SpecificKeyRights = 0x3F;

Key* Root(HKEY root) {
    LONG value = static_cast<LONG>(reinterpret_cast<LONG_PTR>(root));
    if (value < static_cast<LONG>(0x80000000) || value > static_cast<LONG>(0x80000006))
        return nullptr;
    return &registry.roots[root];
}

// A predefined root or a key opened and not yet closed, with the rights it was opened for.
Key* Resolve(HKEY handle, REGSAM* access) {
    if (Key* root = Root(handle)) {
        *access = KEY_ALL_ACCESS;
        return root;
    }
    auto open = registry.open.find(handle);
    if (open == registry.open.end())
        return nullptr;
    *access = open->second.access;
    return open->second.key;
}

// The key behind a handle for a value call that needs the right: ERROR_SUCCESS with the key,
// or the error the call returns.
LONG Use(HKEY handle, REGSAM right, Key** key) {
    REGSAM access;
    *key = Resolve(handle, &access);
    if (!*key)
        return ERROR_INVALID_HANDLE;
    return (access & right) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

Key* Find(Key* base, const std::string& path, bool create) {
    size_t start = 0;
    while (base && start <= path.size()) {
        size_t end = std::min(path.find('\\', start), path.size());
        std::string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        auto subkey = base->subkeys.find(name);
        if (subkey != base->subkeys.end())
            base = subkey->second.get();
        else if (create)
            base = (base->subkeys[name] = std::make_unique<Key>()).get();
        else
            base = nullptr;
    }
    return base;
}

LONG Open(Key* base, const std::string& path, REGSAM access, HKEY* result) {
    Key* key = Find(base, path, false);
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    if (key->denied & access & SpecificKeyRights)
        return ERROR_ACCESS_DENIED;
    registry.lastHandle += 4;
    *result = reinterpret_cast<HKEY>(registry.lastHandle);
    registry.open[*result] = {key, access};
    return ERROR_SUCCESS;
}

} // namespace

void ResetRegistry() {
    registry = RegistryState();
}

void SetRegistryValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                      const std::vector<BYTE>& data) {
    if (Key* key = Find(Root(root), path, true))
        key->values[name] = {type, data};
}

void SetRegistryString(HKEY root, const std::string& path, const std::string& name,
                       const std::string& text) {
    SetRegistryValue(root, path, name, REG_SZ,
                     std::vector<BYTE>(text.c_str(), text.c_str() + text.size() + 1));
}

void SetRegistryDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    SetRegistryValue(root, path, name, REG_DWORD,
                     {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)});
}

bool GetRegistryValue(HKEY root, const std::string& path, const std::string& name, DWORD* type,
                      std::vector<BYTE>* data) {
    Key* key = Find(Root(root), path, false);
    if (!key)
        return false;
    auto value = key->values.find(name);
    if (value == key->values.end())
        return false;
    if (type)
        *type = value->second.type;
    if (data)
        *data = value->second.data;
    return true;
}

bool RegistryKeyExists(HKEY root, const std::string& path) {
    return Find(Root(root), path, false) != nullptr;
}

void DenyKeyAccess(HKEY root, const std::string& path, REGSAM rights) {
    if (Key* key = Find(Root(root), path, true))
        key->denied |= rights;
}

HKEY OpenRegistryKey(HKEY root, const std::string& path, REGSAM access) {
    Key* base = Root(root);
    HKEY key = nullptr;
    if (!base || Open(base, path, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

int OpenRegistryKeys() {
    return static_cast<int>(registry.open.size());
}

} // namespace winsim

using winsim::registry;

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (winsim::ShouldFail("RegOpenKeyExA"))
        return ERROR_ACCESS_DENIED;
    REGSAM baseAccess;
    winsim::Key* base = winsim::Resolve(key, &baseAccess);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    return winsim::Open(base, subKey ? subKey : "", access, result);
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD size) {
    if (winsim::ShouldFail("RegQueryValueExA"))
        return ERROR_ACCESS_DENIED;
    winsim::Key* found;
    if (LONG error = winsim::Use(key, KEY_QUERY_VALUE, &found))
        return error;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    auto value = found->values.find(name ? name : "");
    if (value == found->values.end())
        return ERROR_FILE_NOT_FOUND;
    const std::vector<BYTE>& stored = value->second.data;
    if (type)
        *type = value->second.type;
    if (!size)
        return ERROR_SUCCESS;
    DWORD capacity = *size;
    *size = static_cast<DWORD>(stored.size());
    if (!data)
        return ERROR_SUCCESS;
    if (capacity < stored.size()) {
        // What a too-small buffer holds afterwards is not defined: leave it full of the
        // value's first bytes, with no terminator, so callers that trust it are caught.
        std::copy(stored.begin(), stored.begin() + capacity, data);
        return ERROR_MORE_DATA;
    }
    std::copy(stored.begin(), stored.end(), data);
    return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (winsim::ShouldFail("RegSetValueExA"))
        return ERROR_ACCESS_DENIED;
    winsim::Key* found;
    if (LONG error = winsim::Use(key, KEY_SET_VALUE, &found))
        return error;
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    found->values[name ? name : ""] = {type, std::vector<BYTE>(data, data + size)};
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
    if (winsim::ShouldFail("RegDeleteValueA"))
        return ERROR_ACCESS_DENIED;
    winsim::Key* found;
    if (LONG error = winsim::Use(key, KEY_SET_VALUE, &found))
        return error;
    return found->values.erase(name ? name : "") ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG WINAPI RegCloseKey(HKEY key) {
    // A failed close still gives the handle up: the caller has nothing left to do with it.
    bool fail = winsim::ShouldFail("RegCloseKey");
    if (winsim::Root(key))
        return fail ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    if (!registry.open.erase(key) || fail)
        return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

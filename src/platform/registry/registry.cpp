#include "platform/registry/registry.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/kernel/kernel_objects.h"
#include "platform/registry/registry_store.h"
#include "platform/registry/registry_test_hooks.h"

namespace {

using platform::RegistryKey;
using platform::RegistryValue;

struct Root {
    HKEY handle;
    const char* fileName;
};

constexpr std::array<Root, 5> kRoots = {{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT.reg"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER.reg"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE.reg"},
    {HKEY_USERS, "HKEY_USERS.reg"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG.reg"},
}};

class KeyHandle : public platform::KernelObject {
public:
    KeyHandle(size_t root, std::shared_ptr<RegistryKey> key, REGSAM access)
        : root(root), key(std::move(key)), access(access) {}

    const size_t root;
    const std::shared_ptr<RegistryKey> key;
    const REGSAM access;
};

struct Store {
    std::mutex lock;
    std::string chosenFolder;          // set by tests; empty: the user's data folder
    std::optional<std::string> folder; // decided when the first tree is read
    std::array<std::shared_ptr<RegistryKey>, kRoots.size()> trees; // null until read
    bool crashBeforeRename = false;
};

Store& GetStore() {
    static Store* store = new Store; // outlives static destructors that close keys
    return *store;
}

std::string UserRegistryFolder() {
    const char* own = std::getenv("ZORV_REGISTRY_DIR");
    if (own && *own) return own;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/zorv/registry";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/share/zorv/registry";
    return {};
}

void ForgetTrees(Store& store) {
    for (auto& tree : store.trees) {
        if (!tree) continue;
        tree->MarkDeleted();
        tree.reset();
    }
    store.folder.reset();
}

LONG ReadTree(Store& store, size_t root) {
    if (store.trees[root]) return ERROR_SUCCESS;
    if (!store.folder) {
        store.folder = store.chosenFolder.empty() ? UserRegistryFolder() : store.chosenFolder;
    }
    return platform::LoadRegistryFile(*store.folder, kRoots[root].fileName, &store.trees[root]);
}

// The key a call works on. Valid while the store's lock is held.
struct Target {
    size_t root = 0;
    std::shared_ptr<RegistryKey> key;
};

LONG Resolve(Store& store, HKEY hKey, REGSAM needed, Target* target) {
    for (size_t root = 0; root < kRoots.size(); ++root) {
        if (kRoots[root].handle != hKey) continue;
        LONG result = ReadTree(store, root);
        if (result != ERROR_SUCCESS) return result;
        *target = {root, store.trees[root]};
        return ERROR_SUCCESS;
    }
    auto handle = platform::LookupObjectAs<KeyHandle>(hKey);
    if (!handle) return ERROR_INVALID_HANDLE;
    if (handle->key->deleted) return ERROR_KEY_DELETED;
    if ((handle->access & needed) != needed) return ERROR_ACCESS_DENIED;
    *target = {handle->root, handle->key};
    return ERROR_SUCCESS;
}

// Writes the root's tree after a change; when that fails `undo` takes the change back.
LONG Commit(Store& store, size_t root, const std::function<void()>& undo) {
    LONG result = platform::SaveRegistryFile(*store.folder, kRoots[root].fileName,
                                             *store.trees[root], store.crashBeforeRename);
    if (result != ERROR_SUCCESS) undo();
    return result;
}

LONG SplitPath(LPCSTR path, std::vector<std::string_view>* names) {
    std::string_view rest = path ? path : "";
    if (rest.starts_with('\\')) return ERROR_BAD_PATHNAME;
    if (rest.ends_with('\\')) rest.remove_suffix(1);
    if (rest.empty()) return ERROR_SUCCESS;
    while (true) {
        size_t end = rest.find('\\');
        std::string_view name = rest.substr(0, end);
        if (name.empty()) return ERROR_BAD_PATHNAME;
        if (name.size() > platform::kMaxRegistryKeyName) return ERROR_INVALID_PARAMETER;
        names->push_back(name);
        if (end == std::string_view::npos) return ERROR_SUCCESS;
        rest.remove_prefix(end + 1);
    }
}

// Under the store's lock: the existing key that `subKey` names below `hKey`.
LONG FindKey(Store& store, HKEY hKey, LPCSTR subKey, Target* target,
             std::shared_ptr<RegistryKey>* found) {
    std::vector<std::string_view> names;
    LONG status = SplitPath(subKey, &names);
    if (status != ERROR_SUCCESS) return status;
    status = Resolve(store, hKey, 0, target);
    if (status != ERROR_SUCCESS) return status;
    std::shared_ptr<RegistryKey> key = target->key;
    for (std::string_view name : names) {
        key = key->FindSubkey(name);
        if (!key) return ERROR_FILE_NOT_FOUND;
    }
    *found = std::move(key);
    return ERROR_SUCCESS;
}

LONG OpenHandle(const Target& target, std::shared_ptr<RegistryKey> key, REGSAM access,
                PHKEY result) {
    HKEY handle =
        platform::RegisterObject(std::make_shared<KeyHandle>(target.root, std::move(key), access));
    if (handle == 0) return ERROR_TOO_MANY_OPEN_FILES;
    *result = handle;
    return ERROR_SUCCESS;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

LONG CopyData(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (type) *type = value.type;
    if (!dataSize) return ERROR_SUCCESS;
    auto stored = static_cast<DWORD>(value.data.size());
    if (data) {
        if (*dataSize < stored) {
            *dataSize = stored;
            return ERROR_MORE_DATA;
        }
        std::copy(value.data.begin(), value.data.end(), data);
        bool terminated = stored != 0 && value.data.back() == 0;
        if (IsText(value.type) && !terminated && stored < *dataSize) data[stored] = 0;
    }
    *dataSize = stored;
    return ERROR_SUCCESS;
}

LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD bufferSize) {
    if (name.size() >= *bufferSize) return ERROR_MORE_DATA;
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = '\0';
    *bufferSize = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

void ReportNoClass(LPSTR keyClass, LPDWORD classSize, PFILETIME lastWriteTime) {
    if (keyClass && classSize && *classSize != 0) keyClass[0] = '\0';
    if (classSize) *classSize = 0;
    if (lastWriteTime) *lastWriteTime = {};
}

} // namespace

LONG RegCreateKeyExA(HKEY hKey, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    std::vector<std::string_view> names;
    LONG status = SplitPath(subKey, &names);
    if (status != ERROR_SUCCESS) return status;
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    status = Resolve(store, hKey, KEY_CREATE_SUB_KEY, &target);
    if (status != ERROR_SUCCESS) return status;
    if (target.key->Depth() + names.size() > platform::kMaxRegistryDepth) {
        return ERROR_INVALID_PARAMETER;
    }
    std::shared_ptr<RegistryKey> key = target.key;
    std::shared_ptr<RegistryKey> firstNew;
    for (std::string_view name : names) {
        auto next = key->FindSubkey(name);
        if (!next) {
            next = key->AddSubkey(std::string(name));
            if (!firstNew) firstNew = next;
        }
        key = std::move(next);
    }
    if (firstNew) {
        status = Commit(store, target.root, [&firstNew] {
            firstNew->parent->RemoveSubkey(firstNew.get());
            firstNew->MarkDeleted();
        });
        if (status != ERROR_SUCCESS) return status;
    }
    status = OpenHandle(target, std::move(key), desired, result);
    if (status == ERROR_SUCCESS && disposition) {
        *disposition = firstNew ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return status;
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    std::shared_ptr<RegistryKey> key;
    LONG status = FindKey(store, hKey, subKey, &target, &key);
    if (status != ERROR_SUCCESS) return status;
    return OpenHandle(target, std::move(key), desired, result);
}

LONG RegCloseKey(HKEY hKey) {
    for (const Root& root : kRoots) {
        if (root.handle == hKey) return ERROR_SUCCESS;
    }
    return platform::UnregisterObjectAs<KeyHandle>(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegFlushKey(HKEY hKey) {
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    return Resolve(store, hKey, 0, &target);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    LONG status = Resolve(store, hKey, KEY_QUERY_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    const RegistryKey& key = *target.key;
    size_t index = key.FindValue(valueName ? valueName : "");
    if (index == key.values.size()) return ERROR_FILE_NOT_FOUND;
    return CopyData(key.values[index], type, data, dataSize);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    std::string_view name = valueName ? valueName : "";
    if ((!data && dataSize != 0) || name.size() > platform::kMaxRegistryValueName) {
        return ERROR_INVALID_PARAMETER;
    }
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    LONG status = Resolve(store, hKey, KEY_SET_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    RegistryKey& key = *target.key;
    std::vector<BYTE> bytes;
    if (data) bytes.assign(data, data + dataSize);
    size_t index = key.FindValue(name);
    if (index == key.values.size()) {
        key.values.push_back({std::string(name), type, std::move(bytes)});
        return Commit(store, target.root, [&key] { key.values.pop_back(); });
    }
    RegistryValue& value = key.values[index];
    if (value.type == type && value.data == bytes) return ERROR_SUCCESS;
    DWORD oldType = std::exchange(value.type, type);
    value.data.swap(bytes);
    return Commit(store, target.root, [&] {
        value.type = oldType;
        value.data.swap(bytes);
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR valueName) {
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    LONG status = Resolve(store, hKey, KEY_SET_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    RegistryKey& key = *target.key;
    size_t index = key.FindValue(valueName ? valueName : "");
    if (index == key.values.size()) return ERROR_FILE_NOT_FOUND;
    auto place = key.values.begin() + static_cast<ptrdiff_t>(index);
    RegistryValue removed = std::move(*place);
    key.values.erase(place);
    return Commit(store, target.root, [&] {
        key.values.insert(key.values.begin() + static_cast<ptrdiff_t>(index), std::move(removed));
    });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR subKey) {
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    std::shared_ptr<RegistryKey> key;
    LONG status = FindKey(store, hKey, subKey, &target, &key);
    if (status != ERROR_SUCCESS) return status;
    RegistryKey* parent = key->parent;
    if (!parent || !key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    parent->RemoveSubkey(key.get());
    key->deleted = true;
    return Commit(store, target.root, [&] {
        key->deleted = false;
        parent->InsertSubkey(key);
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, PFILETIME lastWriteTime) {
    if (!name || !nameSize || reserved) return ERROR_INVALID_PARAMETER;
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    LONG status = Resolve(store, hKey, KEY_ENUMERATE_SUB_KEYS, &target);
    if (status != ERROR_SUCCESS) return status;
    if (index >= target.key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    status = CopyName(target.key->subkeys[index]->name, name, nameSize);
    if (status == ERROR_SUCCESS) ReportNoClass(keyClass, classSize, lastWriteTime);
    return status;
}

LONG RegEnumKeyA(HKEY hKey, DWORD index, LPSTR name, DWORD nameSize) {
    return RegEnumKeyExA(hKey, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
}

LONG RegEnumValueA(HKEY hKey, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (!valueName || !valueNameSize || reserved || (data && !dataSize)) {
        return ERROR_INVALID_PARAMETER;
    }
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    LONG status = Resolve(store, hKey, KEY_QUERY_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    if (index >= target.key->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = target.key->values[index];
    status = CopyName(value.name, valueName, valueNameSize);
    if (status != ERROR_SUCCESS) return status;
    return CopyData(value, type, data, dataSize);
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                      LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptorSize, PFILETIME lastWriteTime) {
    if (reserved) return ERROR_INVALID_PARAMETER;
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    Target target;
    LONG status = Resolve(store, hKey, KEY_QUERY_VALUE, &target);
    if (status != ERROR_SUCCESS) return status;
    const RegistryKey& key = *target.key;
    size_t longestKey = 0;
    for (const auto& subkey : key.subkeys)
        longestKey = std::max(longestKey, subkey->name.size());
    size_t longestName = 0;
    size_t largestData = 0;
    for (const RegistryValue& value : key.values) {
        longestName = std::max(longestName, value.name.size());
        largestData = std::max(largestData, value.data.size());
    }
    ReportNoClass(keyClass, classSize, lastWriteTime);
    if (subKeys) *subKeys = static_cast<DWORD>(key.subkeys.size());
    if (maxSubKeyLength) *maxSubKeyLength = static_cast<DWORD>(longestKey);
    if (maxClassLength) *maxClassLength = 0;
    if (values) *values = static_cast<DWORD>(key.values.size());
    if (maxValueNameLength) *maxValueNameLength = static_cast<DWORD>(longestName);
    if (maxValueLength) *maxValueLength = static_cast<DWORD>(largestData);
    if (securityDescriptorSize) *securityDescriptorSize = 0;
    return ERROR_SUCCESS;
}

namespace platform::test {

void SetRegistryFolder(const std::string& folder) {
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    store.chosenFolder = folder;
    ForgetTrees(store);
}

void ForgetRegistry() {
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    ForgetTrees(store);
}

void SimulateCrashBeforeRename(bool crash) {
    Store& store = GetStore();
    std::lock_guard guard(store.lock);
    store.crashBeforeRename = crash;
}

} // namespace platform::test

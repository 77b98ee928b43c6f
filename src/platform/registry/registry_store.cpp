#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/kernel/cp1252.h"
#include "platform/kernel/faults.h"

namespace platform {
namespace {

constexpr BYTE kMagic[4] = {'Z', 'R', 'E', 'G'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 12;
// Smallest encodings, which bound every count by the bytes left to read.
constexpr size_t kMinValueRecord = 2 + 4 + 4;
constexpr size_t kMinKeyRecord = 2 + 1 + 4 + 4;
// Far above any settings a program keeps, and low enough that the tree read from the
// smallest records that fill it (about 14 times larger in memory) stays reasonable.
constexpr size_t kMaxStoreSize = 16u << 20;

bool SubkeyLess(const std::shared_ptr<RegistryKey>& key, std::string_view name) {
    return CompareRegistryNames(key->name, name) < 0;
}

uint32_t StoreCrc(const BYTE* bytes, size_t size) {
    return static_cast<uint32_t>(crc32_z(crc32_z(0, nullptr, 0), bytes, size));
}

class Reader {
public:
    Reader(const BYTE* bytes, size_t size) : next_(bytes), left_(size) {}

    size_t Left() const { return left_; }

    bool U16(uint16_t* value) {
        if (left_ < 2) return false;
        *value = static_cast<uint16_t>(next_[0] | next_[1] << 8);
        Skip(2);
        return true;
    }
    bool U32(uint32_t* value) {
        if (left_ < 4) return false;
        *value = static_cast<uint32_t>(next_[0]) | static_cast<uint32_t>(next_[1]) << 8 |
                 static_cast<uint32_t>(next_[2]) << 16 | static_cast<uint32_t>(next_[3]) << 24;
        Skip(4);
        return true;
    }
    // A name of at most maxLength bytes, none of them NUL.
    bool Name(size_t maxLength, std::string* name) {
        uint16_t length = 0;
        if (!U16(&length) || length > maxLength || length > left_) return false;
        name->assign(reinterpret_cast<const char*>(next_), length);
        Skip(length);
        return name->find('\0') == std::string::npos;
    }
    bool Bytes(size_t size, std::vector<BYTE>* bytes) {
        if (size > left_) return false;
        bytes->assign(next_, next_ + size);
        Skip(size);
        return true;
    }

private:
    void Skip(size_t size) {
        next_ += size;
        left_ -= size;
    }

    const BYTE* next_;
    size_t left_;
};

bool ReadValues(Reader& reader, RegistryKey& key) {
    uint32_t count = 0;
    if (!reader.U32(&count) || count > reader.Left() / kMinValueRecord) return false;
    for (uint32_t i = 0; i < count; ++i) {
        RegistryValue& value = key.values.emplace_back();
        uint32_t size = 0;
        if (!reader.Name(kMaxRegistryValueName, &value.name) || !reader.U32(&value.type) ||
            !reader.U32(&size) || !reader.Bytes(size, &value.data)) {
            return false;
        }
    }
    std::vector<const std::string*> names;
    names.reserve(count);
    for (const RegistryValue& value : key.values) {
        names.push_back(&value.name);
    }
    std::sort(names.begin(), names.end(), [](const std::string* a, const std::string* b) {
        return CompareRegistryNames(*a, *b) < 0;
    });
    auto same = [](const std::string* a, const std::string* b) {
        return CompareRegistryNames(*a, *b) == 0;
    };
    return std::adjacent_find(names.begin(), names.end(), same) == names.end();
}

bool ReadKey(Reader& reader, RegistryKey& key, size_t depth) {
    if (!ReadValues(reader, key)) return false;
    uint32_t count = 0;
    if (!reader.U32(&count) || count > reader.Left() / kMinKeyRecord) return false;
    if (count != 0 && depth == kMaxRegistryDepth) return false;
    key.subkeys.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto subkey = std::make_shared<RegistryKey>();
        if (!reader.Name(kMaxRegistryKeyName, &subkey->name) || subkey->name.empty() ||
            subkey->name.find('\\') != std::string::npos) {
            return false;
        }
        subkey->parent = &key;
        key.subkeys.push_back(subkey);
        if (!ReadKey(reader, *subkey, depth + 1)) return false;
    }
    auto less = [](const std::shared_ptr<RegistryKey>& a, const std::shared_ptr<RegistryKey>& b) {
        return CompareRegistryNames(a->name, b->name) < 0;
    };
    auto same = [](const std::shared_ptr<RegistryKey>& a, const std::shared_ptr<RegistryKey>& b) {
        return CompareRegistryNames(a->name, b->name) == 0;
    };
    std::sort(key.subkeys.begin(), key.subkeys.end(), less);
    return std::adjacent_find(key.subkeys.begin(), key.subkeys.end(), same) == key.subkeys.end();
}

class Writer {
public:
    void U16(size_t value) {
        bytes.push_back(static_cast<BYTE>(value));
        bytes.push_back(static_cast<BYTE>(value >> 8));
    }
    void U32(uint64_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<BYTE>(value >> shift));
    }
    void Raw(const void* data, size_t size) {
        const auto* first = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), first, first + size);
    }
    void Name(const std::string& name) {
        U16(name.size());
        Raw(name.data(), name.size());
    }

    std::vector<BYTE> bytes;
};

void WriteKey(Writer& writer, const RegistryKey& key) {
    writer.Name(key.name);
    writer.U32(key.values.size());
    for (const RegistryValue& value : key.values) {
        writer.Name(value.name);
        writer.U32(value.type);
        writer.U32(value.data.size());
        writer.Raw(value.data.data(), value.data.size());
    }
    writer.U32(key.subkeys.size());
    for (const auto& subkey : key.subkeys)
        WriteKey(writer, *subkey);
}

DWORD ErrorFromErrno(int error, DWORD fallback) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return fallback;
    }
}

DWORD ReadWholeFile(const std::string& path, std::vector<BYTE>* bytes, bool* missing) {
    int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        *missing = errno == ENOENT;
        return ErrorFromErrno(errno, ERROR_READ_FAULT);
    }
    struct stat info {};
    if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(file);
        return ERROR_ACCESS_DENIED;
    }
    bytes->resize(std::min(static_cast<size_t>(info.st_size), kMaxStoreSize) + 1);
    size_t done = 0;
    while (true) {
        if (done == bytes->size()) { // the file grew since fstat
            if (done > kMaxStoreSize) break;
            bytes->resize(std::min(done * 2, kMaxStoreSize + 1));
        }
        ssize_t got = read(file, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            int error = errno;
            close(file);
            return ErrorFromErrno(error, ERROR_READ_FAULT);
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    close(file);
    bytes->resize(done);
    return done > kMaxStoreSize ? ERROR_BADDB : ERROR_SUCCESS;
}

// Creates the folder and the missing ones above it.
DWORD MakeFolder(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return ErrorFromErrno(errno, ERROR_WRITE_FAULT);
        }
        if (slash == std::string::npos) return ERROR_SUCCESS;
    }
}

DWORD WriteAndSync(int file, const std::vector<BYTE>& bytes) {
    if (ShouldFail(test::Fault::DiskFull)) return ERROR_DISK_FULL;
    if (ShouldFail(test::Fault::WriteError)) return ERROR_WRITE_FAULT;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = write(file, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return ErrorFromErrno(errno, ERROR_WRITE_FAULT);
        done += static_cast<size_t>(put);
    }
    return fsync(file) == 0 ? ERROR_SUCCESS : ErrorFromErrno(errno, ERROR_WRITE_FAULT);
}

void SyncFolder(const std::string& folder) {
    int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    fsync(handle);
    close(handle);
}

} // namespace

int CompareRegistryNames(std::string_view a, std::string_view b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        int x = Cp1252ToUpper(static_cast<unsigned char>(a[i]));
        int y = Cp1252ToUpper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

size_t RegistryKey::FindValue(std::string_view valueName) const {
    for (size_t i = 0; i < values.size(); ++i) {
        if (CompareRegistryNames(values[i].name, valueName) == 0) return i;
    }
    return values.size();
}

std::shared_ptr<RegistryKey> RegistryKey::FindSubkey(std::string_view keyName) const {
    auto place = std::lower_bound(subkeys.begin(), subkeys.end(), keyName, SubkeyLess);
    if (place == subkeys.end() || CompareRegistryNames((*place)->name, keyName) != 0) {
        return nullptr;
    }
    return *place;
}

std::shared_ptr<RegistryKey> RegistryKey::AddSubkey(std::string keyName) {
    auto key = std::make_shared<RegistryKey>();
    key->name = std::move(keyName);
    InsertSubkey(key);
    return key;
}

void RegistryKey::InsertSubkey(std::shared_ptr<RegistryKey> key) {
    auto place = std::lower_bound(subkeys.begin(), subkeys.end(), key->name, SubkeyLess);
    key->parent = this;
    subkeys.insert(place, std::move(key));
}

void RegistryKey::RemoveSubkey(const RegistryKey* key) {
    auto place = std::find_if(subkeys.begin(), subkeys.end(),
                              [key](const auto& subkey) { return subkey.get() == key; });
    if (place == subkeys.end()) return;
    (*place)->parent = nullptr;
    subkeys.erase(place);
}

size_t RegistryKey::Depth() const {
    size_t depth = 0;
    for (const RegistryKey* key = parent; key; key = key->parent)
        ++depth;
    return depth;
}

void RegistryKey::MarkDeleted() {
    deleted = true;
    for (const auto& subkey : subkeys) {
        subkey->MarkDeleted();
        subkey->parent = nullptr; // this key may go before its subkeys do
    }
}

DWORD ParseRegistryStore(const BYTE* bytes, size_t size, std::shared_ptr<RegistryKey>* root) {
    if (size < kHeaderSize || std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return ERROR_BADDB;
    Reader header(bytes + sizeof kMagic, kHeaderSize - sizeof kMagic);
    uint32_t version = 0;
    uint32_t crc = 0;
    header.U32(&version);
    header.U32(&crc);
    if (version != kVersion || crc != StoreCrc(bytes + kHeaderSize, size - kHeaderSize)) {
        return ERROR_BADDB;
    }
    Reader reader(bytes + kHeaderSize, size - kHeaderSize);
    auto tree = std::make_shared<RegistryKey>();
    if (!reader.Name(0, &tree->name) || !ReadKey(reader, *tree, 0) || reader.Left() != 0) {
        return ERROR_BADDB;
    }
    *root = std::move(tree);
    return ERROR_SUCCESS;
}

std::vector<BYTE> SerializeRegistryStore(const RegistryKey& root) {
    Writer writer;
    writer.bytes.assign(std::begin(kMagic), std::end(kMagic));
    writer.U32(kVersion);
    writer.U32(0); // the CRC, once the rest is known
    WriteKey(writer, root);
    std::vector<BYTE>& bytes = writer.bytes;
    uint32_t crc = StoreCrc(bytes.data() + kHeaderSize, bytes.size() - kHeaderSize);
    for (size_t i = 0; i < 4; ++i)
        bytes[8 + i] = static_cast<BYTE>(crc >> (8 * i));
    return std::move(bytes);
}

DWORD LoadRegistryFile(const std::string& folder, const std::string& fileName,
                       std::shared_ptr<RegistryKey>* root) {
    if (folder.empty()) {
        *root = std::make_shared<RegistryKey>();
        return ERROR_SUCCESS;
    }
    std::string path = folder + "/" + fileName;
    unlink((path + ".tmp").c_str());
    std::vector<BYTE> bytes;
    bool missing = false;
    DWORD result = ReadWholeFile(path, &bytes, &missing);
    if (missing) {
        *root = std::make_shared<RegistryKey>();
        return ERROR_SUCCESS;
    }
    if (result == ERROR_SUCCESS) result = ParseRegistryStore(bytes.data(), bytes.size(), root);
    if (result != ERROR_BADDB) return result;
    if (rename(path.c_str(), (path + ".bad").c_str()) == 0) {
        SyncFolder(folder);
        *root = std::make_shared<RegistryKey>();
    }
    return ERROR_BADDB;
}

DWORD SaveRegistryFile(const std::string& folder, const std::string& fileName,
                       const RegistryKey& root, bool stopBeforeRename) {
    if (folder.empty()) return ERROR_PATH_NOT_FOUND;
    DWORD result = MakeFolder(folder);
    if (result != ERROR_SUCCESS) return result;
    std::string path = folder + "/" + fileName;
    std::string temporary = path + ".tmp";
    int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0) return ErrorFromErrno(errno, ERROR_WRITE_FAULT);
    std::vector<BYTE> bytes = SerializeRegistryStore(root);
    result = bytes.size() > kMaxStoreSize ? ERROR_NOT_ENOUGH_MEMORY : WriteAndSync(file, bytes);
    if (close(file) != 0 && result == ERROR_SUCCESS) result = ERROR_WRITE_FAULT;
    if (result == ERROR_SUCCESS && stopBeforeRename) return ERROR_WRITE_FAULT;
    if (result == ERROR_SUCCESS && rename(temporary.c_str(), path.c_str()) != 0) {
        result = ErrorFromErrno(errno, ERROR_WRITE_FAULT);
    }
    if (result != ERROR_SUCCESS) {
        unlink(temporary.c_str());
        return result;
    }
    SyncFolder(folder);
    return ERROR_SUCCESS;
}

} // namespace platform

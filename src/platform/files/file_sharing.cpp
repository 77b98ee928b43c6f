#include "platform/files/file_sharing.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/files/files.h"

namespace platform {
namespace {

constexpr DWORD kRelevantAccess = GENERIC_READ | GENERIC_WRITE | kDeleteAccess;

struct Opener {
    uint64_t ticket;
    DWORD access;
    DWORD shareMode;
};

struct SharingTable {
    std::mutex lock;
    std::map<FileId, std::vector<Opener>> openers;
    uint64_t nextTicket = 1;
};

SharingTable& GetSharingTable() {
    static SharingTable* table = new SharingTable; // handles may close during exit
    return *table;
}

// True when an opener that asked for `access` is compatible with one that shares
// `shareMode`.
bool Shares(DWORD access, DWORD shareMode) {
    return !((access & GENERIC_READ) && !(shareMode & FILE_SHARE_READ)) &&
           !((access & GENERIC_WRITE) && !(shareMode & FILE_SHARE_WRITE)) &&
           !((access & kDeleteAccess) && !(shareMode & FILE_SHARE_DELETE));
}

} // namespace

SharingLock::SharingLock() : guard_(GetSharingTable().lock) {}

bool SharingLock::Allows(const FileId& id, DWORD access, DWORD shareMode) const {
    if ((access & kRelevantAccess) == 0) return true;
    const SharingTable& table = GetSharingTable();
    auto found = table.openers.find(id);
    if (found == table.openers.end()) return true;
    return std::all_of(found->second.begin(), found->second.end(), [&](const Opener& opener) {
        return Shares(access, opener.shareMode) && Shares(opener.access, shareMode);
    });
}

uint64_t SharingLock::Add(const FileId& id, DWORD access, DWORD shareMode) {
    if ((access & kRelevantAccess) == 0) return 0;
    SharingTable& table = GetSharingTable();
    uint64_t ticket = table.nextTicket++;
    table.openers[id].push_back(Opener{ticket, access & kRelevantAccess, shareMode});
    return ticket;
}

void RemoveSharer(const FileId& id, uint64_t ticket) {
    if (ticket == 0) return;
    SharingTable& table = GetSharingTable();
    std::lock_guard guard(table.lock);
    auto found = table.openers.find(id);
    if (found == table.openers.end()) return;
    std::erase_if(found->second, [&](const Opener& opener) { return opener.ticket == ticket; });
    if (found->second.empty()) table.openers.erase(found);
}

} // namespace platform

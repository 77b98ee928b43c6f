#include "foundation/files/file_list.h"

#include <algorithm>
#include <string_view>

#include "foundation/files/dir_enumerator.h"
#include "foundation/files/path_compare.h"
#include "platform/files/logical_drives.h"
#include "platform/user/input/keyboard_state.h"

namespace {

// Cuts `text` at `separator` into `list`; a separator of 0 cuts a list of zero-ended
// texts, which ends at the first empty one.
void AppendPieces(std::string_view text, char separator, std::vector<std::string>& list) {
    while (!text.empty()) {
        size_t end = text.find(separator);
        std::string_view piece = text.substr(0, end);
        if (separator == '\0' && piece.empty()) return;
        if (!piece.empty() && piece.size() < MAX_PATH) list.emplace_back(piece);
        if (end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

bool EscapeHeld() {
    return GetAsyncKeyState(VK_ESCAPE) < 0;
}

// The last component of a path; a folder keeps its final '\' so it still reads as one.
std::string_view LastComponent(std::string_view path) {
    size_t end = !path.empty() && path.back() == '\\' ? path.size() - 1 : path.size();
    size_t start = path.find_last_of('\\', end == 0 ? 0 : end - 1);
    if (start == std::string_view::npos || start >= end) {
        start = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    } else {
        ++start;
    }
    return path.substr(start);
}

} // namespace

int CFileList::ListFiles(const char* directory, uint32_t flags) {
    if (!directory) return 0;
    flags_ = flags;
    std::string root = directory;
    if (!root.empty() && root.back() != '\\') root += '\\';
    if (Walk(root)) return 1;
    results_.clear();
    resultsInOrder_ = true;
    return 0;
}

int CFileList::Walk(const std::string& directory) {
    DirEnumerator entries;
    if (!entries.FindFirst((directory + "*.*").c_str())) return 1;
    std::string path;
    while (entries.FindNext()) {
        if (EscapeHeld()) return 0;
        if (entries.IsDotEntry()) continue;
        entries.GetEntryPath(path);
        if (entries.IsDirectoryEntry()) {
            if (MatchAny(path.c_str(), exclude_) >= 0) continue;
            path += '\\';
            if (flags_ & kDirectories) AddResult(path.c_str());
            // A linked folder may lead back up the tree; listing it once is enough.
            if ((flags_ & kRecurse) && !entries.IsLinkEntry() && !Walk(path)) return 0;
        } else if (flags_ & kFiles) {
            if (MatchAny(path.c_str(), exclude_) < 0 && MatchAny(path.c_str(), include_) >= 0)
                AddResult(path.c_str());
        }
    }
    return 1;
}

void CFileList::AddIncludePatterns(const char* text, char separator) {
    if (text) AppendPieces(text, separator ? separator : ',', include_);
}

void CFileList::AddExcludePatterns(const char* text, char separator) {
    if (text) AppendPieces(text, separator ? separator : ',', exclude_);
}

void CFileList::AddResult(const char* path) {
    if (!path) return;
    std::string result(flags_ & kNameOnly ? LastComponent(path) : std::string_view(path));
    if (!(flags_ & kSorted)) {
        Append(std::move(result));
        return;
    }
    auto notGreater = [&result](const std::string& stored) {
        return ComparePaths(stored.c_str(), result.c_str()) <= 0;
    };
    // In a list kept in order the first greater result can be searched for.
    auto before = resultsInOrder_
                      ? std::partition_point(results_.begin(), results_.end(), notGreater)
                      : std::find_if_not(results_.begin(), results_.end(), notGreater);
    if (before == results_.end()) {
        Append(std::move(result));
        return;
    }
    results_.insert(before, std::move(result));
}

int CFileList::ListDrives() {
    char buffer[513] = {};
    DWORD length = GetLogicalDriveStringsA(512, buffer);
    if (length >= 512) length = 0;
    std::vector<std::string> roots;
    AppendPieces(std::string_view(buffer, length), '\0', roots);
    for (std::string& root : roots)
        Append(std::move(root));
    return static_cast<int>(results_.size());
}

void CFileList::Append(std::string path) {
    if (resultsInOrder_ && !results_.empty() &&
        ComparePaths(results_.back().c_str(), path.c_str()) > 0)
        resultsInOrder_ = false;
    results_.push_back(std::move(path));
}

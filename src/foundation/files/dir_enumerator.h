// One directory search with a look-ahead entry: FindNext makes the entry found last the
// current one and fetches the next, so the caller always knows whether more follow.
#pragma once

#include <string>

#include "platform/files/files.h"

class DirEnumerator {
public:
    DirEnumerator() = default;
    ~DirEnumerator() { FindClose(); }
    DirEnumerator(const DirEnumerator&) = delete;
    DirEnumerator& operator=(const DirEnumerator&) = delete;

    // Starts a search for `pattern` (null for "*.*"; a bare folder searches all of it).
    // 0 when a search is open already or nothing was found.
    int FindFirst(const char* pattern);
    // Makes the next entry the current one; 0 when none is left.
    int FindNext();
    // The folder of the pattern with the current entry's name.
    void GetEntryPath(std::string& path) const;
    int IsDirectoryEntry() const;
    // The current entry is "." or "..".
    int IsDotEntry() const;
    // The current entry is a symbolic link or junction, so walking into it may lead back
    // to a folder already on the walk.
    int IsLinkEntry() const;
    void FindClose();

private:
    WIN32_FIND_DATAA next_{};
    WIN32_FIND_DATAA current_{};
    HANDLE search_ = INVALID_HANDLE_VALUE;
    std::string drive_;
    std::string directory_;
    bool hasNext_ = false;
};

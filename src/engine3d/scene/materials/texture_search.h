// The walk that looks for an image file in the folders below a start folder: depth first,
// at most four folders below the start and 10,000 entries read in all, so that a missing
// image named by a file loaded from a large tree (or from the root) costs a bounded time.
// The walk goes only as far as a file asks and keeps what it read, so that the next file
// looked for below the same folder reads nothing again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TextureSearch {
public:
    explicit TextureSearch(std::string start);

    // Whether what was read holds for a file name of `length` characters: a folder whose
    // path with the name would be too long is not walked into.
    bool Fits(size_t length) const;
    // The first folder of the walk holding the file: out = its path, a backslash and the
    // name.
    bool Find(const std::string& file, std::string& out);

private:
    static constexpr int kDepth = 4;
    static constexpr uint32_t kEntries = 10000;

    struct Folder {
        std::string path;
        int depth = 0;
        bool listed = false;
        // Every name of the folder is in `names`, so that a name missing there is not on
        // disk either.
        bool complete = false;
        std::vector<std::string> names;
    };

    void Visit(std::string path, int depth);
    // Reads the folder's names and queues its subfolders for the walk.
    void List(Folder& folder, size_t fileLength);
    static bool Holds(const Folder& folder, const std::string& file, std::string& out);

    std::vector<Folder> visited_;
    // The folders still to walk, the next at the back.
    std::vector<std::pair<std::string, int>> pending_;
    uint32_t entriesLeft_ = kEntries;
    // The names kept beyond what the walk itself reads: the folders at the last depth,
    // and the rest of a folder once the walk has read its entries.
    uint32_t namesLeft_ = kEntries;
    size_t longestWalked_ = 0;
    size_t shortestSkipped_ = SIZE_MAX;
};

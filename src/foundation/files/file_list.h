// Lists the entries of a directory tree, or the logical drives, as path strings,
// filtered by include and exclude patterns (see MatchPath) and optionally kept sorted
// in ComparePaths order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CFileList {
public:
    // ListFiles flags.
    static constexpr uint32_t kRecurse = 1;
    static constexpr uint32_t kSorted = 2;
    static constexpr uint32_t kNameOnly = 4; // file name and extension, no folders
    static constexpr uint32_t kDirectories = 8;
    static constexpr uint32_t kFiles = 16;

    // Adds the entries below `directory` (a final '\' is supplied when missing) to the
    // results: folders with a final '\' unless excluded, files when they match an
    // include pattern and no exclude pattern. An excluded folder is not walked, and
    // neither is a linked one. Holding Escape down aborts: 0, with every result gone.
    int ListFiles(const char* directory, uint32_t flags);
    // Adds the pieces of `text` cut at `separator` (0 for ','); pieces that are empty or
    // of MAX_PATH characters or more are skipped.
    void AddIncludePatterns(const char* text, char separator = 0);
    void AddExcludePatterns(const char* text, char separator = 0);
    // Adds one result under the current flags.
    void AddResult(const char* path);
    // Adds the root of every logical drive ("C:\") to the results; returns their count.
    int ListDrives();

    const std::vector<std::string>& GetResults() const { return results_; }
    const std::vector<std::string>& GetIncludePatterns() const { return include_; }
    const std::vector<std::string>& GetExcludePatterns() const { return exclude_; }

private:
    int Walk(const std::string& directory);
    void Append(std::string path);

    std::vector<std::string> results_;
    std::vector<std::string> include_;
    std::vector<std::string> exclude_;
    uint32_t flags_ = 0;
    // Whether results_ is in ComparePaths order, so that a sorted insertion can search.
    bool resultsInOrder_ = true;
};

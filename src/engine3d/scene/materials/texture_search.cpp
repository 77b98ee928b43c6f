#include "engine3d/scene/materials/texture_search.h"

#include <algorithm>

#include "engine3d/scene/materials/texture_list.h"
#include "foundation/files/dir_enumerator.h"
#include "platform/files/files.h"
#include "platform/kernel/cp1252.h"

TextureSearch::TextureSearch(std::string start) {
    Visit(std::move(start), 0);
}

bool TextureSearch::Fits(size_t length) const {
    constexpr size_t limit = LBaseTexture::kMaxPath;
    return longestWalked_ + 1 + length < limit &&
           (shortestSkipped_ == SIZE_MAX || shortestSkipped_ + 1 + length >= limit);
}

void TextureSearch::Visit(std::string path, int depth) {
    if (!path.empty() && path.back() == ':') path += '\\';
    Folder& folder = visited_.emplace_back();
    folder.path = std::move(path);
    folder.depth = depth;
}

bool TextureSearch::Holds(const Folder& folder, const std::string& file, std::string& out) {
    const std::string candidate = folder.path + '\\' + file;
    if (candidate.size() >= LBaseTexture::kMaxPath) return false;
    // Short names are made up by the file system, never listed: those are asked for.
    if (folder.complete && file.find('~') == std::string::npos &&
        std::none_of(folder.names.begin(), folder.names.end(), [&](const std::string& name) {
            return platform::Cp1252EqualNoCase(name, file);
        }))
        return false;
    const DWORD attributes = GetFileAttributesA(candidate.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    out = candidate;
    return true;
}

void TextureSearch::List(Folder& folder, size_t fileLength) {
    folder.listed = true;
    const bool walked = folder.depth < kDepth;
    std::vector<std::string> folders;
    DirEnumerator entries;
    const std::string pattern = folder.path + "\\*";
    bool more = entries.FindFirst(pattern.c_str()) != 0;
    for (; more; more = entries.FindNext() != 0) {
        const bool counted = walked && entriesLeft_ > 0;
        if (!counted && namesLeft_ == 0) break;
        std::string path;
        entries.GetEntryPath(path);
        const size_t slash = path.find_last_of("\\/");
        std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
        if (counted) {
            --entriesLeft_;
            if (entries.IsDirectoryEntry() != 0 && entries.IsDotEntry() == 0 &&
                entries.IsLinkEntry() == 0 && !leaf.empty() && leaf[0] != '.') {
                std::string next = folder.path + '\\' + leaf;
                if (next.size() + 1 + fileLength < LBaseTexture::kMaxPath) {
                    longestWalked_ = std::max(longestWalked_, next.size());
                    folders.push_back(std::move(next));
                } else {
                    shortestSkipped_ = std::min(shortestSkipped_, next.size());
                }
            }
        } else {
            --namesLeft_;
        }
        folder.names.push_back(std::move(leaf));
    }
    folder.complete = !more && !folder.names.empty();
    for (auto next = folders.rbegin(); next != folders.rend(); ++next)
        pending_.emplace_back(std::move(*next), folder.depth + 1);
}

bool TextureSearch::Find(const std::string& file, std::string& out) {
    for (size_t i = 0;; ++i) {
        if (i == visited_.size()) {
            if (pending_.empty()) return false;
            Visit(std::move(pending_.back().first), pending_.back().second);
            pending_.pop_back();
        }
        // One read of the folder answers this file and every later one.
        if (!visited_[i].listed) List(visited_[i], file.size());
        if (Holds(visited_[i], file, out)) return true;
    }
}

// What the file and folder dialogs list: the sub-folders and matching files of a folder,
// the drives above the roots, and the steps between a path and its drive. Paths are
// Windows paths, texts Windows-1252.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct FolderEntries {
    std::vector<std::string> folders; // sorted without regard to case
    std::vector<std::string> files;
};

// The visible entries of `folder`; files only when `patterns` (";"-separated, such as
// "*.bmp;*.dib") is not empty, and only those matching one of them. "" lists nothing:
// the drives are DriveRoots().
FolderEntries ListFolder(const std::string& folder, const std::string& patterns);
// "C:\", "D:\" ...
std::vector<std::string> DriveRoots();
// The folder holding `path`; "" above a drive's root.
std::string ParentFolder(const std::string& path);
// `name` in `folder`, with one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder itself, its parent and so on up to its drive's root, the root last.
std::vector<std::string> FolderChain(const std::string& folder);
bool IsFolder(const std::string& path);
bool FileExists(const std::string& path);
// A path as a user typed it, relative to `folder` unless it starts at a drive or a
// separator, as a full path.
std::string ResolvePath(const std::string& folder, const std::string& typed);
// The full Windows path of `path` (a script may name a folder "/home/user/docs"), so that
// what a dialog gives has one kind of separator, as every other file call gives; without a
// final separator but at a drive's root. "" stays "".
std::string FullPath(const std::string& path);

} // namespace platform

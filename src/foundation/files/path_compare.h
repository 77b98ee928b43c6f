// Splitting, comparing and matching paths whose components are separated by '\'.
#pragma once

#include <string>
#include <vector>

// Splits a path into its drive ("C:"), folder, file name and extension (from the last
// '.' of the last component on). The folder, without its leading and final '\', is cut
// at each '\' into `components`. Every output is optional; returns the number of folder
// components.
int SplitPathComponents(const char* path, std::string* drive, std::string* fileName,
                        std::string* extension, std::vector<std::string>* components);

// Orders paths component by component without regard to case; within a folder, the
// entries that end the path come before the folders that lead further down, so a listing
// puts a folder's files first and each folder ("dir\") just before its contents.
int ComparePaths(const char* a, const char* b);

// 1 when the last component of `name` (a final '\' aside) matches the wildcard
// pattern without regard to case. A name without '.' also matches as if it ended with
// one, so "*.*" and "*." take names without an extension.
int MatchFileName(const char* name, const char* pattern);

// As MatchFileName for a pattern without '\'. A pattern with folders matches a name
// whose last folders match them one for one and whose file name matches the pattern's;
// a pattern ending in '\' matches folder paths ending in '\'.
int MatchPath(const char* name, const char* pattern);

// The index of the first pattern that MatchPath accepts, or -1.
int MatchAny(const char* name, const std::vector<std::string>& patterns);

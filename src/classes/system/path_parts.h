// A path cut into drive ("C:"), folder (with its final separator), name and extension
// (with its point), '/' counting as a separator as '\' does.
#pragma once

#include <string>

struct PathParts {
    std::string drive;
    std::string folder;
    std::string name;
    std::string extension;

    static PathParts Split(const std::string& path);
    // Joined with the colon, the separator and the point added where missing.
    std::string Join() const;
};

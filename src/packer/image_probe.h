// Reads the header of an image file held in memory with the 2D library's image-file
// manager: the packer stores image files as they are, but their elements record the size
// and depth, and a file the player could not decode is better refused while packing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ImageFileInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;
};

// False when no handler reads the file or its size does not fit the element's fields;
// `reason` then says why, for the packer's message.
bool ProbeImageFile(const std::vector<uint8_t>& bytes, ImageFileInfo& info, std::string& reason);

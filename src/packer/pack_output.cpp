#include "packer/pack_output.h"

#include <filesystem>
#include <fstream>

#include "packer/project_chunk_writer.h"
#include "script/project/project_format.h"

namespace fs = std::filesystem;

namespace {

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

// Writes the parts one after the other to a temporary file, then renames it to `output`.
bool WriteThroughTemporary(const std::vector<const std::vector<uint8_t>*>& parts,
                           const std::string& output, fs::perms perms, std::string& error) {
    const fs::path temporary = output + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(error, "cannot create '" + temporary.string() + "'");
        for (const std::vector<uint8_t>* part : parts) {
            out.write(reinterpret_cast<const char*>(part->data()),
                      static_cast<std::streamsize>(part->size()));
        }
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return Fail(error, "cannot write '" + temporary.string() + "'");
        }
    }
    std::error_code ec;
    fs::permissions(temporary, perms, fs::perm_options::replace, ec);
    if (!ec) fs::rename(temporary, output, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Fail(error, "cannot write '" + output + "': " + ec.message());
    }
    return true;
}

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

} // namespace

bool WriteBareProject(const std::vector<uint8_t>& data, const std::string& output,
                      std::string& error) {
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read;
    return WriteThroughTemporary({&data}, output, perms, error);
}

bool WriteAppendedProject(const std::string& player, const std::vector<uint8_t>& data,
                          const std::string& output, std::string& error) {
    std::error_code ec;
    const fs::file_status status = fs::status(player, ec);
    if (ec || !fs::is_regular_file(status))
        return Fail(error, "cannot find the player '" + player + "'");
    std::ifstream in(player, std::ios::binary);
    std::vector<uint8_t> executable((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) return Fail(error, "cannot read the player '" + player + "'");
    if (executable.size() >= project_format::kTrailerSize &&
        ReadU32(executable.data() + executable.size() - project_format::kTrailerSize) ==
            project_format::kTrailerMarker) {
        return Fail(error, "the player '" + player + "' already carries a project");
    }
    const uint64_t total = uint64_t{executable.size()} + data.size() + project_format::kTrailerSize;
    if (total > UINT32_MAX) return Fail(error, "player and project together exceed 4 GB");

    ProjectChunkWriter trailer;
    trailer.U32(project_format::kTrailerMarker);
    trailer.U32(static_cast<uint32_t>(executable.size()));
    return WriteThroughTemporary({&executable, &data, &trailer.Bytes()}, output,
                                 status.permissions(), error);
}

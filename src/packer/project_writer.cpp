#include "packer/project_writer.h"

#include <algorithm>
#include <limits>

#include "script/project/project_format.h"

namespace pf = project_format;

namespace {

constexpr size_t kU16Max = std::numeric_limits<uint16_t>::max();
constexpr size_t kU32Max = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kNoPalette = 0xFFFFFFFF;
constexpr uint32_t kMaskFlag = 1;
constexpr uint16_t kRawPixelKind = 0;

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

bool CheckText(const std::string& text, const char* what, std::string& error) {
    if (text.size() <= kU16Max) return true;
    return Fail(error, std::string(what) + " is longer than 65535 bytes");
}

// u32 packed size (0 = stored raw), then the bytes as they are or deflated.
bool SizedPixels(ProjectChunkWriter& out, const std::vector<uint8_t>& bytes, bool packed,
                 std::string& error) {
    if (!packed) {
        out.U32(0);
        out.Append(bytes.data(), bytes.size());
        return true;
    }
    std::vector<uint8_t> deflated;
    if (!ZlibPack(bytes.data(), bytes.size(), deflated)) return Fail(error, "zlib failed");
    out.U32(static_cast<uint32_t>(deflated.size()));
    out.Append(deflated.data(), deflated.size());
    return true;
}

bool CheckImage(const PackBank& bank, const PackElement& element, std::string& error) {
    const std::string what = "image '" + element.name + "'";
    if (element.kind == PackElement::Kind::ImageFile) {
        if (!element.mask.empty()) return Fail(error, what + ": an image file carries no mask");
        return true;
    }
    if (!IsImageDepth(element.depth)) return Fail(error, what + ": unsupported depth");
    const uint64_t size = uint64_t{SurfacePitch(element.width, element.depth)} * element.height;
    if (element.data.size() != size) return Fail(error, what + ": pixel data of the wrong size");
    if (!element.mask.empty() && element.mask.size() != uint64_t{element.width} * element.height) {
        return Fail(error, what + ": mask of the wrong size");
    }
    if (element.paletteIndex && *element.paletteIndex >= bank.palettes.size()) {
        return Fail(error, what + ": palette index outside the bank's palette table");
    }
    return true;
}

bool WriteImageData(const PackElement& element, ProjectChunkWriter& out, std::string& error) {
    const bool file = element.kind == PackElement::Kind::ImageFile;
    out.U16(element.x);
    out.U16(element.y);
    out.U32(element.paletteIndex ? *element.paletteIndex : kNoPalette);
    out.U16(file ? pf::kImageFileKind : kRawPixelKind);
    out.U16(element.width);
    out.U16(element.height);
    out.U16(element.depth);
    out.U32(element.mask.empty() ? 0 : kMaskFlag);
    if (file) {
        out.Append(element.data.data(), element.data.size());
        return true;
    }
    if (!SizedPixels(out, element.data, element.packed, error)) return false;
    return element.mask.empty() || SizedPixels(out, element.mask, element.packed, error);
}

bool WriteElement(const PackBank& bank, const PackElement& element, ProjectChunkWriter& out,
                  std::string& error) {
    if (!CheckText(element.name, "an element name", error) ||
        !CheckText(element.folder, "a folder name", error)) {
        return false;
    }
    if (element.data.size() > kU32Max)
        return Fail(error, "element '" + element.name + "' is too large");
    const bool image = bank.type == pf::kImageBank;
    if (image != (element.kind != PackElement::Kind::Data)) {
        return Fail(error, "element '" + element.name + "' does not suit a bank of type " +
                               std::to_string(bank.type));
    }
    out.String(element.name);
    out.String(element.folder);
    if (bank.type == pf::kAnimationBank) {
        out.U16(element.field1);
        out.U16(element.field2);
    }
    if (image) return CheckImage(bank, element, error) && WriteImageData(element, out, error);
    out.PackedBlock(element.data.data(), element.data.size(), element.packed);
    return true;
}

bool WriteEntry(const PackEntry& entry, ProjectChunkWriter& out, std::string& error) {
    if (!CheckText(entry.name, "an entry name", error)) return false;
    out.BeginChunk(pf::kApplicationEntryChunk);
    out.String("");

    out.BeginChunk(pf::kPropertiesChunk);
    out.String(entry.name);
    out.U32(entry.flags);
    out.Append(entry.palette.data(), entry.palette.size());
    out.U32(0);
    out.U16(entry.cpuShare);
    out.U32(entry.colour);
    for (int i = 0; i < 4; ++i)
        out.U16(1);
    out.EndChunk();

    if (entry.initialSource) {
        out.BeginChunk(pf::kInitialSourceChunk);
        out.PackedBlock(*entry.initialSource, true);
        out.EndChunk();
    }
    if (entry.gameInput) {
        out.BeginChunk(pf::kGameInputChunk);
        out.U16(entry.gameInput->autoStart);
        out.U16(entry.gameInput->flag);
        out.U32(entry.gameInput->defaultSetting);
        out.PackedBlock(entry.gameInput->settings, true);
        out.EndChunk();
    }

    // A bank's index in its entry is its type: every type up to the highest one present
    // gets a bank, empty where the project has none.
    uint32_t highest = pf::kSourceBank;
    for (const PackBank& bank : entry.banks)
        highest = std::max(highest, bank.type);
    if (highest > pf::kBinaryBank) return Fail(error, "bank type above 7");
    for (uint32_t type = 0; type <= highest; ++type) {
        const auto found = std::find_if(entry.banks.begin(), entry.banks.end(),
                                        [type](const PackBank& b) { return b.type == type; });
        PackBank filler;
        if (found == entry.banks.end()) {
            filler.type = type;
            filler.name = DefaultBankName(type);
        }
        out.BeginChunk(pf::kBankChunk);
        out.String("");
        if (!WriteBankRecord(found == entry.banks.end() ? filler : *found, out, error)) {
            return false;
        }
        out.EndChunk();
    }
    out.EmptyChunk(pf::kEndChunk);
    out.EndChunk();
    return true;
}

} // namespace

bool WriteBankRecord(const PackBank& bank, ProjectChunkWriter& out, std::string& error) {
    if (bank.name.size() > pf::kMaxBankNameLength) {
        return Fail(error, "bank name '" + bank.name + "' is longer than 275 bytes");
    }
    if (bank.elements.size() > kU32Max) return Fail(error, "too many elements");
    const size_t start = out.Size();
    out.U32(bank.type);
    out.String(bank.name);
    out.U32(pf::kBankVersion2);
    const bool image = bank.type == pf::kImageBank;
    const size_t tableField = out.Size();
    if (image) out.U32(0);
    out.U32(static_cast<uint32_t>(bank.elements.size()));
    const size_t offsets = out.Size();
    for (size_t i = 0; i < bank.elements.size(); ++i)
        out.U32(0);
    for (size_t i = 0; i < bank.elements.size(); ++i) {
        const size_t offset = out.Size() - start;
        if (offset > kU32Max) return Fail(error, "bank '" + bank.name + "' is larger than 4 GB");
        out.PatchU32(offsets + 4 * i, static_cast<uint32_t>(offset));
        if (!WriteElement(bank, bank.elements[i], out, error)) return false;
    }
    if (image && !bank.palettes.empty()) {
        out.PatchU32(tableField, static_cast<uint32_t>(out.Size() - tableField));
        out.U32(static_cast<uint32_t>(bank.palettes.size()));
        for (const PackPalette& palette : bank.palettes)
            out.Append(palette.data(), palette.size());
    } else if (!image && !bank.palettes.empty()) {
        return Fail(error, "only image banks carry palettes");
    }
    if (out.Size() - start > kU32Max)
        return Fail(error, "bank '" + bank.name + "' is larger than 4 GB");
    return true;
}

bool WriteProjectData(const PackProject& project, ProjectChunkWriter& out, std::string& error) {
    out.BeginChunk(pf::kVersionChunk);
    out.U32(pf::kCurrentVersion);
    out.EndChunk();

    ProjectChunkWriter classes;
    classes.U32(static_cast<uint32_t>(project.classes.size()));
    for (const std::string& name : project.classes) {
        if (name.find('\0') != std::string::npos) return Fail(error, "a class name holds a NUL");
        classes.Append(name.data(), name.size());
        classes.U8(0);
    }
    out.BeginChunk(pf::kHeaderChunk);
    out.U32(0);
    out.U32(1);
    out.U32(0);
    out.PackedBlock(classes.Bytes().data(), classes.Size(), true);
    out.EndChunk();

    for (const PackEntry& entry : project.entries) {
        if (!WriteEntry(entry, out, error)) return false;
    }
    out.EmptyChunk(pf::kEndChunk);
    if (!out.Ok()) return Fail(error, "the project data does not fit the format's size fields");
    return true;
}

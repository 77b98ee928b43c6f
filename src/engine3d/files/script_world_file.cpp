#include "engine3d/files/script_world_file.h"

#include "engine3d/files/section_file.h"
#include "engine3d/files/zyb_format.h"
#include "foundation/in_stream.h"

int LScriptWorldFile::IsYixStream(CInStream* stream, uint32_t* version) {
    if (stream == nullptr) return 0;
    stream->Seek(0, 0);
    SectionFile document(stream);
    if (document.LastResult() != kResultOk ||
        document.FindSection("SCRIPT_INFORMATION", SectionFile::kFirst) == 0)
        return 0;
    const uint32_t value = uint32_t(document.GetInt("SCR_Version", 0, SectionFile::kFirst));
    if (value >= zyb::kVersionLimit) return 0;
    if (version != nullptr) *version = value;
    return 1;
}

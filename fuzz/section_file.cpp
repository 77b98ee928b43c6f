// Text worlds come from disks and downloads: any bytes index, and every lookup and getter
// on them ends without a crash, a hang or a read outside its buffers.
#include <cstdint>

#include "engine3d/files/section_file.h"
#include "engine3d/scene/key_track.h"
#include "foundation/streams/mem_in_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    SectionFile document(&stream);
    const char* sections[] = {"SCRIPT_INFORMATION", "OBJECT", "MATERIAL", "AB"};
    for (const char* section : sections) {
        for (int mode : {SectionFile::kFirst, SectionFile::kNext, SectionFile::kLast}) {
            if (document.FindSection(section, mode) == 0) continue;
            char text[300];
            float f[16] = {};
            int32_t i[8] = {};
            const float zero[16] = {};
            const int32_t none[8] = {};
            document.GetInt("SCR_Version", 0, SectionFile::kNext);
            document.GetFloat("CAM_Focus", 0, SectionFile::kFirst);
            document.GetString("OBJ_ObjParent", text, 64, "", SectionFile::kFirst);
            document.GetQuotedString("OBJ_ObjName", text, sizeof text, "", SectionFile::kFirst);
            document.GetRGB("MAT_ColorMat", 0, SectionFile::kFirst);
            document.GetPos3D("LOC_Position", f, zero, SectionFile::kFirst);
            document.GetRect("Rect", i, none, SectionFile::kLast);
            document.GetP3DDef("P3D_Definition", f, zero, true, SectionFile::kNext);
            document.GetPolDef("POL_Definition", i, text, sizeof text, none, "",
                               SectionFile::kNext);
            document.GetAnimDef("LAM_AnimDef", text, i, "", none, SectionFile::kNext);
            document.GetTrackDef("OBJ_TRACK_Translate", i, none, SectionFile::kFirst);
            LKey key, fallback;
            document.GetKeyDef("OBJ_KEYSDEF_Translate_0", key, fallback, true, SectionFile::kNext);
            document.GetVec3D("OBJ_KEYSDAT_Translate_0", f, zero, SectionFile::kNext);
            document.GetQuat("OBJ_KEYSDAT_Rotate_0", f, zero, SectionFile::kNext);
            document.GetMatrix("OBJ_KEYSDAT_Mat_0", f, zero, SectionFile::kNext);
            LPointMove move{}, noMove{};
            document.GetPMove("OBJ_KEYSDAT_PMove_0_0", move, noMove, SectionFile::kNext);
            document.ReadNextFloat();
        }
    }
    return 0;
}

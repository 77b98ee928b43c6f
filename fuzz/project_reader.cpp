// Project data arrives appended to the player or as a file of its own, written by a tool
// we do not control: the reader and the banks must refuse any bytes cleanly. Each input is
// opened as a project file, and whatever opens is walked through every lookup and every
// element's data and streams.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "foundation/containers/ptr_array.h"
#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/in_stream.h"
#include "graphics2d/palette/palette.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"

namespace {

// Bytes read from one stream at most: enough to reach the end of any seed.
constexpr uint32_t kStreamReadLimit = 1 << 20;
constexpr uint32_t kElementLimit = 256;

struct Setup {
    Setup() {
        CreatePaletteContext();
        // One file per process, so that parallel jobs do not share it.
        std::random_device random;
        linuxPath = (std::filesystem::temp_directory_path() /
                     ("zorv_fuzz_project_" + std::to_string(random()) + ".dat"))
                        .string();
        // The system names the file through drive C:, mapped to "/".
        winPath = "C:" + linuxPath;
        for (char& c : winPath)
            if (c == '/') c = '\\';
    }
    ~Setup() {
        std::error_code ignored;
        std::filesystem::remove(linuxPath, ignored);
    }
    std::string linuxPath;
    std::string winPath;
};

Setup& GetSetup() {
    static Setup setup;
    return setup;
}

void Drain(CInStream* stream) {
    std::unique_ptr<CInStream> owned(stream);
    if (!owned) return;
    uint8_t buffer[4096];
    uint32_t total = 0;
    for (;;) {
        uint32_t got = 0;
        ResultCode result = owned->ReadCounted(buffer, sizeof buffer, &got);
        total += got;
        if (result != kResultOk || got == 0 || total >= kStreamReadLimit) break;
    }
    owned->Seek(0, 0);
    owned->ReadByte(buffer);
}

void WalkBank(CProjectFile& reader, CProjectEntry* entry, CBank* bank) {
    const uint32_t type = bank->GetType();
    if (reader.FindBankInEntry(entry, type) == nullptr) std::abort();
    reader.FindBankByName(bank->GetName());
    const uint32_t count = bank->GetElementCount();
    for (uint32_t i = 0; i < count && i < kElementLimit; ++i) {
        CElement* element = bank->GetElement(int32_t(i));
        if (reader.FindElementByIndex(int32_t(i), type, 0) !=
            reader.FindBankInEntry(entry, type)->GetElement(int32_t(i)))
            std::abort();
        if (element == nullptr) continue;
        char full[1024];
        if (element->GetFullName(full, sizeof full) < sizeof full) {
            reader.ResolveElement(full, type, 0);
            Drain(reader.FindElementByName(full, 1, 0));
        }
        reader.ResolveElement(element->GetNameText(), type, 1);
        Drain(element->OpenStream(0));
        Drain(element->OpenStream(1));
        if (bank->LoadElementData(int32_t(i), 0)) {
            Drain(element->OpenStream(0));
            bank->ReleaseElementData(int32_t(i));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Setup& setup = GetSetup();
    {
        std::ofstream file(setup.linuxPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!file) return 0;
    }
    CProjectFile reader;
    if (reader.Open(nullptr, setup.winPath.c_str(), nullptr) != kResultOk) return 0;

    PtrArray names;
    if (reader.GetNameList(names)) {
        for (uint32_t i = 0; i < names.GetCount(); ++i) {
            char* name = static_cast<char*>(names.GetAt(i));
            if (reader.FindEntryByName(name) == nullptr) std::abort();
            MemFree(&name);
        }
    }
    char path[260];
    reader.MakeElementPath(path, sizeof path, "element.bin");

    for (LListNode* node = reader.GetEntries().GetHead(); node != nullptr; node = node->next) {
        CProjectEntry* entry = static_cast<CProjectEntry*>(node->item);
        reader.SelectEntry(entry);
        for (LListNode* b = entry->banks.GetHead(); b != nullptr; b = b->next)
            WalkBank(reader, entry, static_cast<CBank*>(b->item));
    }
    return 0;
}

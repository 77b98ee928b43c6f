// Project data built in memory for the reader's tests: entries with their properties and
// banks of binary elements, laid out as the packer lays them out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/containers/llist.h"
#include "foundation/streams/in_stream.h"
#include "packer/project_chunk_writer.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace project_test {

using namespace project_format;

// The reader's entry at list position `i`, or null.
inline CProjectEntry* EntryAt(CProjectFile& reader, uint32_t i) {
    LListNode* node = reader.GetEntries().GetNodeAt(i);
    return node != nullptr ? static_cast<CProjectEntry*>(node->item) : nullptr;
}

// Everything a stream holds (the stream is deleted); "<null>" or "<failed>" otherwise.
inline std::string ReadAll(CInStream* stream) {
    std::unique_ptr<CInStream> owned(stream);
    if (!owned) return "<null>";
    std::string text(owned->GetLength(), '\0');
    if (owned->Read(text.data(), uint32_t(text.size())) != kResultOk) return "<failed>";
    return text;
}

struct Element {
    Element(std::string n, std::string d, bool p = false, std::string f = {})
        : name(std::move(n)), data(std::move(d)), packed(p), folder(std::move(f)) {}
    // A hole in the directory: offset 0.
    static Element Hole() {
        Element e("", "");
        e.hole = true;
        return e;
    }

    std::string name;
    std::string data;
    bool packed = false;
    std::string folder;
    bool hole = false;
};

struct Bank {
    uint32_t type = kBinaryBank;
    std::string name;
    std::vector<Element> elements;
};

struct Entry {
    std::string name;
    // Empty: the sub-chunks follow in place.
    std::string fileName;
    bool properties = true;
    uint32_t flags = 0;
    uint16_t cpuShare = 100;
    uint32_t colourSetting = 0xFFFFFF;
    uint16_t lastSetting = 1;
    std::string initialSource;
    std::vector<Bank> banks;
};

// The bank record, offsets relative to its first byte.
inline std::string BankRecord(const Bank& bank, bool withVersion = true) {
    ProjectChunkWriter w;
    w.U32(bank.type);
    w.String(bank.name);
    if (withVersion) w.U32(kBankVersion1);
    w.U32(uint32_t(bank.elements.size()));
    const size_t offsets = w.Size();
    for (size_t i = 0; i < bank.elements.size(); ++i)
        w.U32(0);
    for (size_t i = 0; i < bank.elements.size(); ++i) {
        const Element& e = bank.elements[i];
        if (e.hole) continue;
        w.PatchU32(offsets + 4 * i, uint32_t(w.Size()));
        w.String(e.name);
        w.String(e.folder);
        w.PackedBlock(e.data, e.packed);
    }
    return w.Text();
}

// The properties body of an entry of `version`.
inline void Properties(ProjectChunkWriter& w, const Entry& e, uint32_t version) {
    const bool old = version < kVersionBase + 4;
    w.BeginChunk(kPropertiesChunk);
    w.String(e.name);
    w.U32(e.flags);
    for (int i = 0; i < 256; ++i) {
        w.U8(uint8_t(i));       // blue
        w.U8(uint8_t(255 - i)); // green
        w.U8(uint8_t(i / 2));   // red
        w.U8(0);
    }
    if (old) w.String(e.initialSource);
    w.U32(7);
    if (old) {
        w.U16(3);
        w.U16(0);
        w.U32(0);
        w.U32(0);
    }
    w.U16(e.cpuShare);
    if (old) w.U16(0);
    w.U32(e.colourSetting);
    w.U16(1);
    w.U16(1);
    w.U16(1);
    if (version >= kVersionBase) w.U16(e.lastSetting);
    w.EndChunk();
}

// The entry's sub-chunks up to and including the end chunk.
inline void EntryBody(ProjectChunkWriter& w, const Entry& e, uint32_t version) {
    if (e.properties) Properties(w, e, version);
    if (!e.initialSource.empty() && version >= kVersionBase + 4) {
        w.BeginChunk(kInitialSourceChunk);
        w.PackedBlock(e.initialSource, true);
        w.EndChunk();
    }
    for (const Bank& bank : e.banks) {
        w.BeginChunk(kBankChunk);
        w.String("");
        w.Append(BankRecord(bank, version >= kVersionBase + 2));
        w.EndChunk();
    }
    w.EmptyChunk(kEndChunk);
}

inline void Version(ProjectChunkWriter& w, uint32_t version) {
    w.BeginChunk(kVersionChunk);
    w.U32(version);
    w.EndChunk();
}

// The header chunk; `storedMode` is written as given.
inline void Header(ProjectChunkWriter& w, uint32_t version, uint32_t storedMode,
                   const std::vector<std::string>& classes) {
    w.BeginChunk(kHeaderChunk);
    w.U32(0);
    if (version > kVersionBase) w.U32(storedMode);
    if (version >= kVersionBase + 3) w.U32(0);
    if (version >= kVersionBase + 6) {
        std::string list(4, '\0');
        list[0] = char(classes.size());
        for (const std::string& name : classes)
            list += name + '\0';
        w.PackedBlock(list, true);
    }
    w.EndChunk();
}

inline void EntryChunk(ProjectChunkWriter& w, const Entry& e, uint32_t version,
                       uint16_t id = kApplicationEntryChunk) {
    w.BeginChunk(id);
    w.String(e.fileName);
    if (e.fileName.empty()) EntryBody(w, e, version);
    w.EndChunk();
}

// A whole project: version, header, the entries, the end chunk.
inline std::string Project(const std::vector<Entry>& entries, uint32_t version = kCurrentVersion,
                           uint32_t storedMode = 1,
                           const std::vector<std::string>& classes = {"Sprite", "Bank"}) {
    ProjectChunkWriter w;
    Version(w, version);
    Header(w, version, storedMode, classes);
    for (const Entry& e : entries)
        EntryChunk(w, e, version);
    w.EmptyChunk(kEndChunk);
    return w.Text();
}

} // namespace project_test

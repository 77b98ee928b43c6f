#include <cstring>
#include <new>

#include "foundation/containers/ptr_array.h"
#include "foundation/memory/memory_helpers.h"
#include "script/language/char_class.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"

namespace {

bool IsListed(const PtrArray& names, const char* name) {
    for (uint32_t i = 0; i < names.GetCount(); ++i) {
        auto* item = static_cast<const char*>(names.GetAt(i));
        if (item != nullptr && std::strcmp(item, name) == 0) return true;
    }
    return false;
}

// A code that may stand in front of a member written without its object.
bool IsBareClass(uint32_t code) {
    return IsClassToken(code) || code == kTokenCurWindow;
}

} // namespace

CTokenCompiler::CTokenCompiler(uint32_t option) : option_(option) {}

CTokenCompiler::~CTokenCompiler() {
    FreeLookups();
}

void CTokenCompiler::FreeLookups() {
    for (uint32_t i = 0; i < kClassSlotCount; ++i) {
        delete lookups_[i];
        lookups_[i] = nullptr;
        tables_[i] = nullptr;
        names_[i] = nullptr;
    }
    delete bareLookup_;
    bareLookup_ = nullptr;
}

const CClassLookup* CTokenCompiler::GetClassLookup(uint32_t classId) const {
    return classId < kClassSlotCount ? lookups_[classId] : nullptr;
}

const MethodNameRow* CTokenCompiler::GetClassTable(uint32_t classId) const {
    return classId < kClassSlotCount ? tables_[classId] : nullptr;
}

const char* CTokenCompiler::GetClassName(uint32_t classId) const {
    return classId < kClassSlotCount ? names_[classId] : nullptr;
}

int CTokenCompiler::BuildClassLookups(const PtrArray& classNames) {
    FreeLookups();
    lookups_[0] = new (std::nothrow) CClassLookup;
    bareLookup_ = new (std::nothrow) CClassLookup;
    if (lookups_[0] == nullptr || bareLookup_ == nullptr ||
        !lookups_[0]->AddRows(kInterpretorNameTable)) {
        FreeLookups();
        return 0;
    }
    tables_[0] = kInterpretorNameTable;
    names_[0] = GetBuiltinClassName(0);
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id) {
        const char* name = GetBuiltinClassName(id);
        if (!IsListed(classNames, name)) continue;
        const MethodNameRow* table = GetClassNameTable(id);
        lookups_[id] = table != nullptr ? new (std::nothrow) CClassLookup(table)
                                        : new (std::nothrow) CClassLookup;
        if (lookups_[id] == nullptr || !lookups_[0]->Add(GetBuiltinClassRow(id))) {
            FreeLookups();
            return 0;
        }
        tables_[id] = table;
        names_[id] = name;
    }
    // A bare name calls its class's first row of that name. The rows are filed here apart
    // from the class's own lookup, which stays unfiled until a script names the class.
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id) {
        if (tables_[id] == nullptr) continue;
        CClassLookup firstRows;
        bool filed = false;
        for (const MethodNameRow* row = tables_[id] + 1; row->name != nullptr; ++row) {
            if (!IsBareClass(row->bareClass)) continue;
            if (!filed && !firstRows.AddRows(tables_[id])) {
                FreeLookups();
                return 0;
            }
            filed = true;
            if (firstRows.FindName(row->name) != row) continue;
            if (!bareLookup_->Add(row)) {
                FreeLookups();
                return 0;
            }
        }
    }
    return 1;
}

int CTokenCompiler::Compile(CTokenInfos& out) {
    return Run(out, true);
}

int CTokenCompiler::Tokenize(CTokenInfos& out) {
    return Run(out, false);
}

int CTokenCompiler::Run(CTokenInfos& out, bool link) {
    Reset();
    TakeUnits(out);
    int result = 1;
    try {
        if (nameTable_ == nullptr) {
            nameTable_ = new (std::nothrow) CNameTable;
            if (nameTable_ == nullptr) ThrowOutOfMemory();
        }
        if (lookups_[0] == nullptr) {
            PtrArray none;
            if (!BuildClassLookups(none)) ThrowOutOfMemory();
        }
        TokenizeUnits();
        if (link) {
            Link();
        } else {
            stream_ = output_;
            streamLength_ = outputLength_;
            streamCapacity_ = outputCapacity_;
            output_ = nullptr;
            outputLength_ = 0;
            outputCapacity_ = 0;
        }
        currentToken = stream_;
    } catch (CIError* error) {
        SetPendingError(error);
        result = 0;
    } catch (const std::bad_alloc&) {
        SetPendingError(new (std::nothrow) CIError(15));
        result = 0;
    } catch (...) {
        MemFree(&stream_);
        streamLength_ = 0;
        streamCapacity_ = 0;
        delete nameTable_;
        nameTable_ = nullptr;
        SetPendingError(new (std::nothrow) CIError(44));
        result = 0;
    }
    if (result == 0) {
        FreeWorkBuffers();
        currentToken = nullptr;
    }
    out.TakeOver(*this);
    return result;
}

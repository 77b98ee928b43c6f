#include "script/interpreter/interpretor.h"

#include <new>

#include "foundation/containers/ptr_array.h"
#include "foundation/memory/memory_helpers.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/files/files.h"
#include "platform/kernel/errors.h"
#include "script/classes/class_lookup.h"
#include "script/classes/script_program.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/events.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"
#include "script/project/bank.h"
#include "script/project/image_bank.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/runtime/command_line.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/neighbour_services.h"
#include "script/runtime/screen_depth.h"
#include "script/runtime/sound_output.h"
#include "script/values/script_array.h"

namespace {

constexpr uint32_t kTemporaryTexts = 256;
constexpr uint32_t kStackBlock = 100;
constexpr uint32_t kTemporaryFileGrowth = 16;

// Raised in place of an error that cannot be allocated. It lives for the whole program,
// so Delete leaves it alone.
class CReservedError final : public CIError {
public:
    CReservedError() : CIError(0) {}
    void Delete() override {}
};

CReservedError reservedError;

CIError* MakeError(int32_t code, uint32_t subCode) {
    CIError* error = new (std::nothrow) CIError(code, subCode);
    if (error != nullptr) return error;
    reservedError.Set(code, subCode, nullptr, -1, -1);
    return &reservedError;
}

// A singleton whose class has no implementation registered: it has no methods.
class CIPlaceholderObject final : public CIBaseClassImpl {
public:
    CIPlaceholderObject(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void Destroy(int) override { delete this; }
};

// The singletons made at every start, in their order of creation.
constexpr uint32_t kSingletonClasses[] = {2, 4, 3, 56, 39, 57, 59};
constexpr uint32_t kGameInputClass = 38;

} // namespace

CInterpretor::CInterpretor(uint32_t compilerOption, CLaunchInfo* launch)
    : CIBaseObjectVar(this, 0), defaultArg_(this), locals_(this), currentObject_(this) {
    SetLaunchInfo(launch);
    older_ = newest_;
    newest_ = this;
    compiler_ = new (std::nothrow) CTokenCompiler(compilerOption);
    for (uint32_t i = 0; i < kClassSlotCount; ++i)
        classRecords_[i].classIndex = i;
    defaultArg_.SetDefault();
    for (int32_t backEnd = 0; backEnd < kDisplayBackEnds; ++backEnd) {
        displayLists_[backEnd] = new (std::nothrow) CIDisplayList;
        if (displayLists_[backEnd] != nullptr) displayLists_[backEnd]->Init(1, backEnd);
    }
}

CInterpretor::~CInterpretor() {
    deleteWrappers = 0;
    Close();
    shuttingDown = 1;
    softwareAPI_ = nullptr;
    displayAPI_ = nullptr;
    for (CIDisplayList*& list : displayLists_) {
        delete list;
        list = nullptr;
    }
    MemFree(&deferred_);
    deferredCount_ = 0;
    deferredCapacity_ = 0;
    FreeValueStack();
    FreeFrames();
    for (uint32_t i = 0; i < callRecordCount_; ++i)
        delete callRecords_[i];
    MemFree(&callRecords_);
    MemFree(&blocks_);
    MemFree(&nameCache_);
    MemFree(&temporaryTexts_);
    MemFree(&elementBoxNotes_);
    delete compiler_;
    for (CInterpretor** link = &newest_; *link != nullptr; link = &(*link)->older_) {
        if (*link == this) {
            *link = older_;
            break;
        }
    }
    if (running_ == this) running_ = nullptr;
}

// ---- Classes -----------------------------------------------------------------------

int CInterpretor::InitClassRegistry(const PtrArray& classNames) {
    if (compiler_ == nullptr || !compiler_->BuildClassLookups(classNames)) return 0;
    for (uint32_t i = 0; i < kClassSlotCount; ++i) {
        classRecords_[i].lookup = compiler_->GetClassLookup(i);
        classRecords_[i].info =
            classRecords_[i].lookup != nullptr ? GetScriptClassInfo(i) : nullptr;
    }
    return 1;
}

const CClassRecord* CInterpretor::GetClassRecord(uint32_t classId) const {
    return classId < kClassSlotCount ? &classRecords_[classId] : nullptr;
}

void CInterpretor::MakeSingletons() {
    for (uint32_t classId : kSingletonClasses) {
        const CClassRecord* record = &classRecords_[classId];
        CIBaseClassImpl* object = nullptr;
        if (record->info != nullptr && record->info->construct != nullptr)
            object = record->info->construct(*this, record);
        else if (classId == 56)
            object = new (std::nothrow) CIProgram(this, record);
        else
            object = new (std::nothrow) CIPlaceholderObject(this, record);
        if (object == nullptr) RaiseError(15);
        // One use of its own: no collection frees it.
        ++object->useCount;
        singletons_[classId] = object;
        if (classId == 56) program_ = static_cast<CIProgram*>(object);
        object->Register();
    }
}

// ---- A run -------------------------------------------------------------------------

void CInterpretor::Start(CTokenInfos& report) {
    Reset();
    compiledCount_ = 0;
    if (stackCapacity_ == 0) GrowValueStack(0);
    EnsureFrame(0);
    frameIndex_ = 0;
    classRecord = &classRecords_[0];
    MakeSingletons();
    defaultArg_.SetDefault();
    CProjectEntry* entry = projectFile != nullptr ? projectFile->GetCurrentEntry() : nullptr;
    if (entry != nullptr && entry->gameInputFlag != 0) {
        if (auto createGameInput = GetNeighbourServices().createGameInput) {
            CIBaseClassImpl* gameInput = createGameInput(*this);
            if (gameInput != nullptr) {
                // One use of its own: no collection frees it.
                ++gameInput->useCount;
                singletons_[kGameInputClass] = gameInput;
            }
        }
    }
    CopyEntrySettings();
    if (auto update3DSound = GetNeighbourServices().update3DSound) update3DSound(*this);
    surfaceDepth = GetScreenDepth();
    imageDepth = surfaceDepth;
    if (projectFile != nullptr) {
        CBank* images = projectFile->FindBank(project_format::kImageBank);
        if (images != nullptr && images->IsImageBank())
            static_cast<CImageBank*>(images)->PrepareForDepth(imageDepth);
    }
    if (soundOutput != nullptr) soundOutput->StartRun(0);
    statementCounter_ = 0;
    countHeld_ = false;
    creations = 0;
    garbageThreshold = kDefaultGarbageThreshold;
    for (uint32_t i = 0; i < report.GetBlockCount(); ++i) {
        const BlockRecord* block = report.GetBlock(i);
        if (block->kind != kBlockFunction) continue;
        CVariable* variable = FindVariable(block->condition);
        if (variable == nullptr) variable = AddVariable(block->condition, 0);
        variable->value.SetFunction(block);
    }
    argumentCount = CountArguments(commandLine);
    pendingEndCode = -1;
    eventLimit = kDefaultEventLimit;
}

void CInterpretor::CopyEntrySettings() {
    CProjectEntry* entry = projectFile != nullptr ? projectFile->GetCurrentEntry() : nullptr;
    if (entry == nullptr) return;
    cpuShare = entry->cpuShare;
    colourSetting = entry->colourSetting;
    entrySettings[0] = entry->displaySettings[0];
    entrySettings[1] = entry->displaySettings[1];
    entrySettings[2] = entry->lastSettings[0];
    entrySettings[3] = entry->lastSettings[1];
}

int CInterpretor::RunOnce(CTokenInfos& report, uint8_t* start) {
    struct RunningScope {
        CInterpretor* outer = running_;
        explicit RunningScope(CInterpretor* inner) { running_ = inner; }
        ~RunningScope() { running_ = outer; }
    } runningScope(this);
    TakeOver(report);
    mode = kModeRunning;
    depth_ = 0;
    locals_ = this;
    currentObject_ = this;
    NoteScopeChange();
    runningState = kRunning;
    StartRunClock();
    int result = 1;
    lastEndCode = 0;
    uintptr_t outerStackBase = stackBase_;
    if (stackBase_ == 0) {
        stackBase_ = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        stackFloor_ = stackBase_ > kStackBudget ? stackBase_ - kStackBudget : 0;
    }
    try {
        RunTopLevel(start != nullptr ? start : GetStream());
    } catch (CIError* error) {
        lastEndCode = error->code;
        if (error->code == 0 || error->code == 1) {
            CWXException::Delete(error);
        } else {
            SetPendingError(error);
            result = 0;
        }
    }
    stackBase_ = outerStackBase;
    if (stackBase_ == 0) stackFloor_ = 0;
    runningState = kIdle;
    mode = kModeIdle;
    report.TakeOver(*this);
    if (keptError_ != nullptr) {
        // The error a window procedure caught tells where the run really failed.
        if (result == 0 && report.GetErrorCode() == keptError_->code) {
            report.SetPendingError(keptError_);
        } else {
            CWXException::Delete(keptError_);
        }
        keptError_ = nullptr;
    }
    return result;
}

void CInterpretor::Reset() {
    resetting = 1;
    deleteWrappers = 0;
    shuttingDown = 1;
    FlushTemporaryTexts();
    for (uint32_t i = 0; i < stackCapacity_; ++i) {
        slots_[i]->value.SetInt(0);
        slots_[i]->source = nullptr;
        slots_[i]->anchor.SetInt(0);
        slots_[i]->anchorKind = kValueInt;
    }
    for (uint32_t i = 0; i < frameCount_; ++i) {
        for (CValue& slot : frames_[i]->slots)
            slot.SetInt(0);
        frames_[i]->count = 0;
    }
    depth_ = 0;
    frameIndex_ = 0;
    ClearSlotStack();
    for (uint32_t i = 0; i < callRecordCount_; ++i) {
        callRecords_[i]->result.SetInt(0);
        // Destroyed with the class-0 objects below.
        callRecords_[i]->spareLocals = nullptr;
        callRecords_[i]->ownedLocals = nullptr;
    }
    for (uint32_t i = 0; i < kTemporaryStrings; ++i)
        MemFree(&tempStrings_[i]);
    guardedCallLevel_ = 0;
    methodResume_ = nullptr;
    ClearVariables();
    for (uint32_t classId = 0; classId < kClassSlotCount; ++classId) {
        while (uint32_t node = classObjects[classId].GetHead()) {
            auto* object = reinterpret_cast<CIBaseClassImpl*>(classObjects[classId].GetAt(node));
            // Taken out first: a destructor that does not unlink cannot loop here.
            classObjects[classId].Remove(node);
            object->listNode = 0;
            object->Destroy(0);
        }
    }
    for (CIBaseClassImpl*& singleton : singletons_)
        singleton = nullptr;
    program_ = nullptr;
    // The windows were objects of the run, destroyed above.
    mainWindow = nullptr;
    mainWindowHandle = 0;
    currentWindow = nullptr;
    // A batch the run left open would hold the next run's changes back for ever, and
    // its records name objects destroyed above.
    polygonBatchDepth_ = 0;
    verticalBlankWait = 0;
    MemFree(&deferred_);
    deferredCount_ = 0;
    deferredCapacity_ = 0;
    ResetRunLoop();
    ClearEvents();
    handlerDepth_ = 0;
    DestroyAllArrays();
    blockDepth_ = 0;
    returnFlag_ = 0;
    returnValue_ = nullptr;
    callNesting_ = 0;
    DeleteTemporaryFiles();
    locals_ = this;
    currentObject_ = this;
    NoteScopeChange();
    declaredName_ = nullptr;
    // The code was compiled from the stream of this run.
    compiled_.clear();
    compiledEntries_.clear();
    ClearNameCache();
    creations = 0;
    pendingEndCode = -1;
    if (keptError_ != nullptr) CWXException::Delete(keptError_);
    keptError_ = nullptr;
    MemFree(&restartFileName);
    shuttingDown = 0;
    restarted = 1;
    resetting = 0;
    deleteWrappers = 1;
    runningState = kIdle;
}

void CInterpretor::ForgetWindowObject(const CIBaseClassImpl* object) {
    if (mainWindow == object) {
        mainWindow = nullptr;
        mainWindowHandle = 0;
    }
    if (currentWindow == object) currentWindow = nullptr;
}

int CInterpretor::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return 0;
    ForgetWindowObject(object);
    return CIBaseObjectVar::ReleaseReferencesTo(object);
}

void CInterpretor::Close() {
    Reset();
    for (CClassRecord& record : classRecords_) {
        record.lookup = nullptr;
        record.info = nullptr;
    }
    FreeStartUp();
    initialised = 0;
}

void CInterpretor::FreeStartUp() {
    MemFree(&commandLine);
    argumentCount = 0;
    delete soundOutput;
    soundOutput = nullptr;
    delete imageFileManager;
    imageFileManager = nullptr;
    if (mciNotifyWindow_ != 0) {
        if (auto destroyWindow = GetNeighbourServices().destroyMciNotifyWindow)
            destroyWindow(mciNotifyWindow_);
        mciNotifyWindow_ = 0;
    }
    delete projectFile;
    projectFile = nullptr;
}

// ---- Start-up ----------------------------------------------------------------------

int CInterpretor::Init(const char* projectName, const char* commandLineText, int load) {
    surfaceDepth = GetScreenDepth();
    imageDepth = surfaceDepth;
    if (soundOutput == nullptr) soundOutput = SoundMgr_Get()->CreateOutput(0, 0);
    if (soundOutput == nullptr) return 0;
    if (imageFileManager == nullptr) {
        imageFileManager = new (std::nothrow) ImageFileManager;
        if (imageFileManager == nullptr || imageFileManager->Init(GetInstanceHandle()) != 0) {
            delete imageFileManager;
            imageFileManager = nullptr;
            return 0;
        }
    }
    if (projectFile == nullptr) projectFile = new (std::nothrow) CProjectFile(this);
    if (projectFile == nullptr) return 0;
    if (load) {
        const char* path = launchInfo_ != nullptr && !launchInfo_->projectPath.empty()
                               ? launchInfo_->projectPath.c_str()
                               : nullptr;
        ResultCode code = projectFile->Open(projectName, path, launchInfo_);
        // Data without a single entry has nothing to run: as good as none.
        if (code == 0 && projectFile->GetCurrentEntry() == nullptr) code = kResultNoProjectData;
        if (code != 0) {
            if (launchInfo_ != nullptr) launchInfo_->errorCode = int32_t(code);
            return 0;
        }
        CProjectEntry* entry = projectFile->GetCurrentEntry();
        entrySettings[2] = entry->lastSettings[0];
        entrySettings[3] = entry->lastSettings[1];
        projectKindBits = int32_t(projectFile->GetMode());
    }
    MemFree(&commandLine);
    commandLine = MemCopyText(commandLineText != nullptr ? commandLineText : "");
    if (commandLine == nullptr) return 0;
    PtrArray allClasses;
    const PtrArray* classNames = &projectFile->GetClassNames();
    if (launchInfo_ != nullptr && launchInfo_->allClasses == 1) {
        if (!BuildBuiltinClassNameList(allClasses)) return 0;
        classNames = &allClasses;
    }
    if (!InitClassRegistry(*classNames)) return 0;
    initialised = 1;
    return 1;
}

void CInterpretor::SetRestartFileName(const char* name) {
    MemFree(&restartFileName);
    if (name != nullptr && name[0] != 0) {
        restartFileName = MemCopyText(name);
        if (restartFileName == nullptr) RaiseError(15);
    }
}

void CInterpretor::SetImageDepth(int32_t depth, int prepare) {
    if (depth == imageDepth) return;
    imageDepth = depth;
    if (prepare == 0 || projectFile == nullptr) return;
    CBank* images = projectFile->FindBank(project_format::kImageBank);
    if (images == nullptr || !images->IsImageBank()) return;
    images->ReleaseAll();
    static_cast<CImageBank*>(images)->PrepareForDepth(depth);
}

HWND CInterpretor::GetMciNotifyWindow() {
    if (mciNotifyWindow_ == 0) {
        if (auto createWindow = GetNeighbourServices().createMciNotifyWindow)
            mciNotifyWindow_ = createWindow(*this);
    }
    return mciNotifyWindow_;
}

void CInterpretor::EndAtNextStatement() {
    if (pendingEndCode >= 0) return;
    pendingEndCode = 0;
    HoldStatementCount();
}

void CInterpretor::KeepPendingError(CIError* error) {
    if (pendingEndCode < 0) {
        pendingEndCode = error != nullptr ? error->code : 15;
        HoldStatementCount();
        if (keptError_ != nullptr) CWXException::Delete(keptError_);
        keptError_ = error;
    } else if (error != nullptr) {
        // The first error to end the run is the one reported.
        CWXException::Delete(error);
    }
}

void CInterpretor::SelectProjectEntry() {
    if (projectFile == nullptr) return;
    LListNode* node = entryIndex >= 1 ? projectFile->GetEntries().GetNodeAt(entryIndex) : nullptr;
    projectFile->SelectEntry(node != nullptr ? static_cast<CProjectEntry*>(node->item) : nullptr);
}

void CInterpretor::GetApplicationName(std::string& name) {
    name.clear();
    if (projectFile == nullptr) return;
    const LList& entries = projectFile->GetEntries();
    LListNode* node = entryIndex >= 1 ? entries.GetNodeAt(entryIndex) : nullptr;
    if (node == nullptr) node = entries.GetHead();
    if (node == nullptr) return;
    const auto* entry = static_cast<const CProjectEntry*>(node->item);
    if (entry->name != nullptr) name = entry->name;
}

void CInterpretor::AddTemporaryFile(const char* name) {
    if (temporaryFileCount_ % kTemporaryFileGrowth == 0 &&
        !MemRealloc(size_t(temporaryFileCount_ + kTemporaryFileGrowth) * sizeof(char*),
                    &temporaryFiles_))
        RaiseError(15);
    char* copy = MemCopyText(name != nullptr ? name : "");
    if (copy == nullptr) RaiseError(15);
    temporaryFiles_[temporaryFileCount_++] = copy;
}

void CInterpretor::DeleteTemporaryFiles() {
    for (uint32_t i = 0; i < temporaryFileCount_; ++i) {
        // A read-only file could not be deleted.
        SetFileAttributesA(temporaryFiles_[i], FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(temporaryFiles_[i]);
        MemFree(&temporaryFiles_[i]);
    }
    MemFree(&temporaryFiles_);
    temporaryFileCount_ = 0;
}

void CInterpretor::DestroyAllArrays() {
    int wasShuttingDown = shuttingDown;
    shuttingDown = 1;
    while (uint32_t handle = arrayList.GetHead()) {
        CScriptArray* array = GetArray(handle);
        arrayList.Remove(handle);
        delete array;
    }
    shuttingDown = wasShuttingDown;
}

// ---- Errors ------------------------------------------------------------------------

void CInterpretor::RaiseError(int32_t code, uint32_t subCode) {
    CIError* error = MakeError(code, subCode);
    LocateError(*error);
    throw error;
}

void CInterpretor::RaiseErrorOn(CInterpretor* interpreter, int32_t code, uint32_t subCode) {
    if (interpreter != nullptr) interpreter->RaiseError(code, subCode);
    throw MakeError(code, subCode);
}

void CInterpretor::RaiseLastError(uint32_t subCode) {
    RaiseError(int32_t(GetLastError() | 0x80000000u), subCode);
}

void CInterpretor::LocateError(CIError& error) {
    if (mode == kModeRunning) LocateAtCurrentPosition(error);
}

// ---- Value stack and frames ----------------------------------------------------------

void CInterpretor::GrowValueStack(uint32_t n) {
    uint32_t capacity = ((n + 1) / kStackBlock + 1) * kStackBlock;
    if (capacity <= stackCapacity_) return;
    if (!MemRealloc(size_t(capacity) * sizeof(StackSlot*), &slots_)) RaiseError(15);
    if (!MemRealloc(size_t(capacity) * sizeof(uint32_t), &operators_)) RaiseError(15);
    while (stackCapacity_ < capacity) {
        auto* slot = new (std::nothrow) StackSlot(this);
        if (slot == nullptr) RaiseError(15);
        slots_[stackCapacity_] = slot;
        operators_[stackCapacity_] = 0;
        ++stackCapacity_;
    }
}

void CInterpretor::FreeValueStack() {
    for (uint32_t i = 0; i < stackCapacity_; ++i)
        delete slots_[i];
    MemFree(&slots_);
    MemFree(&operators_);
    stackCapacity_ = 0;
    depth_ = 0;
}

void CInterpretor::EnsureFrame(uint32_t index) {
    if (index < frameCount_) return;
    if (index > frameCount_) EnsureFrame(index - 1);
    if (!MemRealloc(size_t(frameCount_ + 1) * sizeof(CallFrame*), &frames_)) RaiseError(15);
    auto* frame = new (std::nothrow) CallFrame;
    if (frame == nullptr) RaiseError(15);
    frames_[frameCount_++] = frame;
}

void CInterpretor::FreeFrames() {
    for (uint32_t i = 0; i < frameCount_; ++i)
        delete frames_[i];
    MemFree(&frames_);
    frameCount_ = 0;
    frameIndex_ = 0;
}

// ---- Arguments -----------------------------------------------------------------------

CValue* CInterpretor::GetArg(uint32_t i) {
    CallFrame& frame = Frame();
    return i < uint32_t(frame.count) ? &frame.slots[i] : &defaultArg_;
}

int32_t CInterpretor::GetArgCount() const {
    return frames_[frameIndex_]->count;
}

int CInterpretor::IsArgDefault(uint32_t i) {
    return GetArg(i)->IsDefault();
}

int32_t CInterpretor::GetArgInt(uint32_t i) {
    return GetArg(i)->GetInt();
}

void CInterpretor::GetArgInt2(uint32_t i, int32_t& a, int32_t& b) {
    a = GetArgInt(i);
    b = GetArgInt(i + 1);
}

void CInterpretor::GetArgInt4(uint32_t i, int32_t& a, int32_t& b, int32_t& c, int32_t& d) {
    GetArgInt2(i, a, b);
    GetArgInt2(i + 2, c, d);
}

double CInterpretor::GetArgDouble(uint32_t i) {
    return GetArg(i)->GetDouble();
}

double CInterpretor::GetArgFloat(uint32_t i) {
    return GetArg(i)->GetFloat();
}

const char* CInterpretor::GetArgString(uint32_t i) {
    return GetArg(i)->GetString();
}

CIBaseClassImpl* CInterpretor::GetArgObject(uint32_t i) {
    if (i >= uint32_t(GetArgCount())) RaiseError(19);
    return GetArg(i)->GetObjectNonNull();
}

CIBaseClassImpl* CInterpretor::GetArgObjectOfClass(uint32_t i, uint32_t classId) {
    if (i >= uint32_t(GetArgCount()) || !GetArg(i)->IsObjectOfClass(classId)) RaiseError(47);
    return GetArg(i)->GetObject();
}

// ---- Temporary texts ---------------------------------------------------------------

int CInterpretor::AllocTempString(size_t n, char** out) {
    if (!MemAlloc(n != 0 ? n : 1, out)) RaiseError(15);
    for (uint32_t i = 0; i < kTemporaryStrings; ++i) {
        if (tempStrings_[i] != nullptr) continue;
        tempStrings_[i] = *out;
        tempStringLevels_[i] = guardedCallLevel_;
        return int(i + 1);
    }
    MemFree(out);
    RaiseError(44);
}

void CInterpretor::FreeTempString(int n) {
    if (n >= 1 && n <= int(kTemporaryStrings)) MemFree(&tempStrings_[n - 1]);
}

void CInterpretor::FreeTempStringsFrom(uint32_t level) {
    for (uint32_t i = 0; i < kTemporaryStrings; ++i) {
        if (tempStrings_[i] != nullptr && tempStringLevels_[i] >= level) MemFree(&tempStrings_[i]);
    }
}

char* CInterpretor::AllocBuffer(size_t size) {
    char* block = nullptr;
    if (!MemAlloc(size != 0 ? size : 1, &block)) RaiseError(15);
    if (temporaryTextCount_ == temporaryTextCapacity_ && !GrowTemporaryPool()) {
        MemFree(&block);
        RaiseError(15);
    }
    temporaryTexts_[temporaryTextCount_++] = block;
    return block;
}

bool CInterpretor::GrowTemporaryPool() {
    uint32_t capacity = temporaryTextCapacity_ != 0 ? temporaryTextCapacity_ * 2 : kTemporaryTexts;
    if (temporaryTextCapacity_ > UINT32_MAX / 2 ||
        !MemRealloc(size_t{capacity} * sizeof(char*), &temporaryTexts_))
        return false;
    temporaryTextCapacity_ = capacity;
    return true;
}

uint32_t CInterpretor::ReserveTemporaryEntry() {
    if (temporaryTextCount_ == temporaryTextCapacity_ && !GrowTemporaryPool()) RaiseError(15);
    temporaryTexts_[temporaryTextCount_] = nullptr;
    return temporaryTextCount_++;
}

void CInterpretor::NoteElementBox(uint32_t handle, uint32_t position) {
    if (elementBoxNoteCount_ != 0) {
        // Boxes of one array made in one stretch share a note, which keeps the earliest
        // position: a settling pass must not drop it while it stands for a box still held.
        ElementBoxNote& last = elementBoxNotes_[elementBoxNoteCount_ - 1];
        if (last.handle == handle) {
            if (position < last.position) last.position = position;
            ++boxesSinceSettling_;
            return;
        }
    }
    if (elementBoxNoteCount_ == elementBoxNoteCapacity_) {
        uint32_t capacity = elementBoxNoteCapacity_ != 0 ? elementBoxNoteCapacity_ * 2 : 16;
        if (elementBoxNoteCapacity_ > UINT32_MAX / 2 ||
            !MemRealloc(size_t{capacity} * sizeof(ElementBoxNote), &elementBoxNotes_))
            RaiseError(15);
        elementBoxNoteCapacity_ = capacity;
    }
    elementBoxNotes_[elementBoxNoteCount_++] = ElementBoxNote{handle, position};
    ++boxesSinceSettling_;
}

void CInterpretor::FlushTemporaryTextsFrom(uint32_t mark) {
    // Every box made after the mark is over, but settling them in small numbers costs
    // more than it saves: an element read again soon finds its box.
    if (boxesSinceSettling_ > kBoxesBeforeSettling || mark == 0) SettleElementBoxesFrom(mark);
    while (temporaryTextCount_ > mark)
        MemFree(&temporaryTexts_[--temporaryTextCount_]);
}

void CInterpretor::SettleElementBoxesFrom(uint32_t mark) {
    boxesSinceSettling_ = 0;
    while (elementBoxNoteCount_ > 0 &&
           elementBoxNotes_[elementBoxNoteCount_ - 1].position >= mark) {
        uint32_t handle = elementBoxNotes_[--elementBoxNoteCount_].handle;
        if (CScriptArray* array = GetArray(handle)) array->SettleBoxesFrom(mark);
    }
    // The note left may stand for boxes on both sides of the mark.
    if (elementBoxNoteCount_ > 0) {
        if (CScriptArray* array = GetArray(elementBoxNotes_[elementBoxNoteCount_ - 1].handle))
            array->SettleBoxesFrom(mark);
    }
}

// ---- Arrays and objects ----------------------------------------------------------------

void CInterpretor::DestroyArray(CScriptArray* array) {
    array->nextToDestroy = arraysToDestroy_;
    arraysToDestroy_ = array;
    if (destroyingArrays_ != 0) return;
    destroyingArrays_ = 1;
    while (CScriptArray* next = arraysToDestroy_) {
        arraysToDestroy_ = next->nextToDestroy;
        delete next;
    }
    destroyingArrays_ = 0;
}

uint32_t CInterpretor::GetFirstObjectPos(uint32_t classId) const {
    return classId < kClassSlotCount ? classObjects[classId].GetHead() : 0;
}

CIBaseClassImpl* CInterpretor::GetNextObject(uint32_t classId, uint32_t& position) const {
    if (classId >= kClassSlotCount) {
        position = 0;
        return nullptr;
    }
    return reinterpret_cast<CIBaseClassImpl*>(classObjects[classId].GetNext(&position));
}

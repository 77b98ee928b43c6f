// The interpreter: the one object that owns a run. It walks the compiled token stream
// statement by statement, evaluates expressions on its value stack, passes arguments to
// methods in call frames, keeps the variables (its own are the globals), the live
// objects of every class, the script arrays and the event queue.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/containers/handle_list.h"
#include "platform/kernel/clock_alarm.h"
#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/object_var.h"
#include "script/language/token_infos.h"
#include "script/runtime/launch_info.h"
#include "script/values/value.h"

class CElement;
class CProjectFile;
class CSoundOutput;
class ImageFileManager;
class CDisplayAPI;
class CDisplayDevice;
class CDisplayDriver;
class CIDisplayList;
class CPolygonChangeTarget;
class CScriptArray;
class CTokenCompiler;
class CIProgram;
class PtrArray;
struct CScriptEvent;
class CFrameTimer;
class CInterrupt;
class CTDMovements;
class CIBaseMessages;
struct MSG;
struct CompiledFunction;
struct MemberStop;
struct LoopProgram;
struct LoopExit;
struct CompiledOp;
struct NumberProgram;
struct RegisterInstruction;
struct MemberOperand;
struct CompiledMemberSite;
struct CompiledCallSite;
struct DeclarationRun;
class FunctionCompiler;

// It adopts the compiled token stream (CTokenInfos) and walks it.
class CInterpretor : public CIBaseObjectVar, public CTokenInfos {
public:
    // One large object, made once: it comes from the heap, not from the pool that the
    // objects of its base come from.
    static void* operator new(size_t size) { return ::operator new(size); }
    static void* operator new(size_t size, const std::nothrow_t& tag) noexcept {
        return ::operator new(size, tag);
    }
    static void operator delete(void* block) noexcept { ::operator delete(block); }
    static void operator delete(void* block, const std::nothrow_t& tag) noexcept {
        ::operator delete(block, tag);
    }

    // Arguments a call frame holds; a call takes at most one less (error 13).
    static constexpr uint32_t kFrameSlots = 16;
    static constexpr uint32_t kMaxArguments = kFrameSlots - 1;
    // The indices of an array element (the dimensions of an array).
    static constexpr int kMaxArrayIndices = 10;
    // Script calls (functions, methods written in the script, event handlers) nested
    // deeper than this raise error 15: a runaway recursion ends the run, not the process.
    static constexpr uint32_t kMaxCallNesting = 6000;
    // The stack a run may use below RunMain. Expressions nested in every level of a
    // recursion can take much more per level than a plain call: past this, error 15.
    // AddressSanitizer's guard zones around every local about triple a frame, so its builds
    // allow three times as much, on the larger stack their runs are given.
#ifdef ZORV_ADDRESS_SANITIZER
    static constexpr uintptr_t kStackBudget = uintptr_t(18) << 20;
#else
    static constexpr uintptr_t kStackBudget = uintptr_t(6) << 20;
#endif
    static constexpr uint32_t kTemporaryStrings = 256;
    static constexpr int32_t kDefaultEventLimit = 10000;
    static constexpr uint32_t kDefaultGarbageThreshold = 1000;
    static constexpr int32_t kStatementsPerCheck = 10;

    // Running states.
    static constexpr uint32_t kIdle = 0;
    static constexpr uint32_t kRunning = 1;
    // Compiling the project failed.
    static constexpr uint32_t kLoadFailed = 3;

    // `compilerOption` is handed to the compiler unchanged. `launchInfo` (null: a run that
    // nobody launched, as in tests) must outlive the interpreter.
    explicit CInterpretor(uint32_t compilerOption = 0, CLaunchInfo* launchInfo = nullptr);
    // Ends the run state (Close) and frees what is left.
    ~CInterpretor() override;

    // ---- Classes -------------------------------------------------------------------
    // The class registry: the compiler learns the names of class 0 and of every built-in
    // class named in `classNames` (items const char*) and builds their method lookups;
    // each class gets its record. 1, or 0 when memory runs out.
    int InitClassRegistry(const PtrArray& classNames);
    CTokenCompiler* GetCompiler() const { return compiler_; }
    const CClassRecord* GetClassRecord(uint32_t classId) const;
    // The singleton of a class (Math, Disk, Keyboard, System, Program, Display, Editor),
    // null when there is none.
    CIBaseClassImpl* GetSingleton(uint32_t classId) const {
        return classId < kClassSlotCount ? singletons_[classId] : nullptr;
    }
    CIProgram* GetProgram() const { return program_; }

    // ---- A run ---------------------------------------------------------------------
    // Prepares a run of the compiled `report`: resets, makes the singletons and a global
    // variable for every function.
    void Start(CTokenInfos& report);
    // Runs the stream of `report` from `start` (null: its beginning) until the program
    // ends. 1 when it ended normally (code 0 or the end of the stream); 0 when an error
    // ended it, and the error is then the report's pending error. A restart (code 1)
    // compiles the project again, or the restart file, and runs it within this call; the
    // report then holds the last program run. Without a project or a restart file a
    // restart ends the run like code 0 (lastEndCode tells them apart).
    int RunMain(CTokenInfos& report, uint8_t* start);
    // Frees every product of a run.
    void Reset();
    // Reset, then the class registry goes.
    void Close();
    // Forgets `object` as the main window and the current window, then drops it from
    // every global variable. Always 0: the interpreter never joins a cascading delete.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // A file the next reset deletes (temporary files and downloads of the run).
    void AddTemporaryFile(const char* name);

    // ---- Start-up (interpretor.cpp, load_sources.cpp) ---------------------------------
    // Makes the sound output and the image-file manager, opens the project data when
    // `load` is set (the launch block's project path, else the program's own file), keeps
    // the command line and builds the class registry from the project's class list (every
    // class with the launch block's all-classes flag). 1, or 0 at the first thing missing.
    int Init(const char* projectName, const char* commandLine, int load);
    // Compiles the project's modules into `report` (the entry's initial source first,
    // unless a parent window is given), starts the run and runs it, restarts included.
    // 1 when the program ended normally; 0 when compiling or running failed, and the
    // error is then the report's.
    int LoadSources(CTokenInfos& report, int restarted, HWND parentWindow, int withInitialSource);
    // Program.End / Program.Restart: the code is raised like any run-time error.
    // Restart reloads the project, or the file named here when not empty.
    char* restartFileName = nullptr;
    void SetRestartFileName(const char* name);
    // The launch block the run belongs to; null when none.
    CLaunchInfo* LaunchInfo() const { return launchInfo_; }
    // Also points the stop request that every compiled call reads at the new block's.
    void SetLaunchInfo(CLaunchInfo* launch) {
        launchInfo_ = launch;
        stopRequest_ = launch != nullptr ? &launch->stopRequest : &kNeverStop;
    }
    // A copy of the command line, and its argument count (set at every start).
    char* commandLine = nullptr;
    int32_t argumentCount = 0;
    // 1 after a successful Init, 0 after Close.
    int32_t initialised = 0;
    // 1 while Reset runs; 1 when the current run follows a restart.
    int32_t resetting = 0;
    int32_t restarted = 0;
    // The wrapper-deletion flag: 1 while the death of an engine object deletes its script
    // wrapper; 0 while Reset or the destructor deletes every script object, and while a
    // World tears its engine world down, when the wrappers are only detached.
    uint32_t deleteWrappers = 1;
    // Colour depths for new surfaces and for the image bank; 16 until Init.
    int32_t surfaceDepth = 16;
    int32_t imageDepth = 16;
    void SetSurfaceDepth(int32_t depth) { surfaceDepth = depth; }
    // With `prepare`, a change releases the image bank's data and prepares its palettes
    // for the new depth.
    void SetImageDepth(int32_t depth, int prepare);
    // The settings of the application entry, copied at every start: the CPU share drives
    // the run loop's idle wait (0 to 100; 100 never sleeps).
    uint32_t cpuShare = 100;
    uint32_t colourSetting = 0xFFFFFF;
    uint16_t entrySettings[4] = {1, 1, 1, 1};
    // Set at start by the 3D-sound hook.
    int32_t sound3DEnabled = 0;
    // The script's wish for 3D sound (Program.EnableDirectSound3D); the hook above weighs
    // it against what the machine offers.
    int32_t sound3DRequested = 1;
    // 1 in the player: the run is no debugging session.
    int32_t releaseFlag = 1;
    CSoundOutput* soundOutput = nullptr;
    ImageFileManager* imageFileManager = nullptr;
    // The window of the music services' notifications, made on first use.
    HWND GetMciNotifyWindow();
    // An error caught where it may not unwind (window procedures): its code becomes the
    // pending end code unless one is pending already, and a run that then fails with that
    // code reports this error, with the place where it arose. Takes the error.
    void KeepPendingError(CIError* error);
    // Ends the run normally at the next statement end, unless an end is pending already.
    void EndAtNextStatement();
    // The name of the application entry of the running module (the first entry's when the
    // index names none); empty without a project.
    void GetApplicationName(std::string& name);

    // ---- Display interface (display_interface.cpp) -------------------------------------
    // Back ends: 0 and 1 hardware, 2 OpenGL, 3 software.
    static constexpr int32_t kDisplayBackEnds = 4;
    static constexpr int32_t kSoftwareBackEnd = 3;
    // The chosen back end; chosen on first use: 0 when available, else 2, else 3.
    int32_t GetDisplayInterface();
    // Error 116 while a Surface shows a 3D view. Falls back to the previous choice, then
    // to back ends 0, 2 and 3 when the interface asked for cannot be loaded.
    void SelectDisplay(int32_t interface, int32_t device, int32_t driver);
    CDisplayAPI* GetDisplayAPI();
    CDisplayAPI* GetSoftwareDisplayAPI();
    CDisplayDevice* GetDisplayDevice();
    // The holder of a back end's API and lists; null for another number.
    CIDisplayList* GetDisplayList(int32_t backEnd);
    // The device and driver numbers as selected; -1 when unset.
    int32_t GetSelectedDisplayDevice() const { return displayDevice_; }
    int32_t GetSelectedDisplayDriver() const { return displayDriver_; }
    // Non-zero: the first presentation of each refresh pass waits for the vertical blank.
    int32_t verticalBlankWait = 0;
    int32_t GetDisplayDeviceIndex();
    CDisplayDriver* GetDisplayDriver();
    int32_t GetDisplayDriverIndex();

    // ---- Polygon-change batches (polygon_change.cpp) -----------------------------------
    // Opens (non-zero) or closes a batch; batches nest, and a close without an open batch
    // is ignored. Closing the outermost one applies the deferred changes still listed,
    // then frees the list.
    void BeginEndPolygonChange(int open);
    // Closes a batch as BeginEndPolygonChange(0) does; `box` 0 or 1 replaces the box flag
    // of every record when the outermost batch applies them, -1 keeps each record's.
    void EndPolygonChange(int box);
    int IsPolygonChangeOpen() const { return polygonBatchDepth_ > 0; }
    int IsOutermostPolygonChange() const { return polygonBatchDepth_ == 1; }
    // Applies the change at once outside a batch; inside one, remembers its flags.
    void ApplyOrDeferPolygonChange(CPolygonChangeTarget* object, int geometry, int box);
    void CancelDeferredPolygonChange(CPolygonChangeTarget* object);
    void RemoveDeferredPolygonChangeAt(uint32_t index);
    uint32_t GetDeferredPolygonChangeCount() const { return deferredCount_; }

    // ---- Project -------------------------------------------------------------------
    // The reader of the project data with its entries and banks; null when none is open.
    CProjectFile* projectFile = nullptr;
    // Makes the application entry of the running module the reader's current one, so that
    // a module finds the resources of its own entry.
    void SelectProjectEntry();
    // The element a script value names in the current entry: a text by name, a number by
    // index in the bank of `bankType`; null for other kinds or when there is none.
    // `skipSources` keeps the source-module bank out of the lookup.
    CElement* GetElementFromValue(const CValue& value, uint32_t bankType, int skipSources);

    // ---- Errors --------------------------------------------------------------------
    // Throws a new CIError with the code and sub-code at the current token; never
    // returns.
    [[noreturn]] void RaiseError(int32_t code, uint32_t subCode = kNoSubCode);
    // The same for code that may hold no interpreter: without one, the error carries
    // no position.
    [[noreturn]] static void RaiseErrorOn(CInterpretor* interpreter, int32_t code,
                                          uint32_t subCode = kNoSubCode);
    // The system's last error as a run-time error (bit 31 set: a system error number).
    [[noreturn]] void RaiseLastError(uint32_t subCode = kNoSubCode);

    // The interpreter a value serves, since values do not carry one: the innermost one
    // running, else the last one made that is still alive, else none. Only tests hold
    // several at once, one of them made or run while another lives.
    static CInterpretor* Current() { return running_ != nullptr ? running_ : newest_; }
    // The compiled callee of `site`, whose name is `token`, while its name holds the function
    // the site called last and that function is answered from its Return with nothing in the
    // way of a call (compiled_calls.cpp); null otherwise.
    const CompiledFunction* AnsweringCallee(CompiledCallSite& site, uint8_t* token);

    // ---- Arguments of the method being called ---------------------------------------
    // Arguments not given read as: the default value (tag 11), 0x80000000,
    // -9999999999.0, -99999.0, the shared CValue::kDefaultString text.
    CValue* GetArg(uint32_t i);
    int32_t GetArgCount() const;
    int IsArgDefault(uint32_t i);
    int32_t GetArgInt(uint32_t i);
    void GetArgInt2(uint32_t i, int32_t& a, int32_t& b);
    void GetArgInt4(uint32_t i, int32_t& a, int32_t& b, int32_t& c, int32_t& d);
    double GetArgDouble(uint32_t i);
    double GetArgFloat(uint32_t i);
    const char* GetArgString(uint32_t i);
    // Error 19 when not given; 18, 41 for a value that is no object, 32 for none.
    CIBaseClassImpl* GetArgObject(uint32_t i);
    // Error 47 when not given or of another class.
    CIBaseClassImpl* GetArgObjectOfClass(uint32_t i, uint32_t classId);
    // The value that a method or operand leaves as its result.
    CValue* GetResultSlot() { return &slots_[depth_]->value; }
    uint16_t GetCurrentMethodId() const { return currentMethodId_; }

    // ---- Temporary texts -----------------------------------------------------------
    // `n` bytes parked in the first free of the 256 temporary strings; returns its
    // number (1 to 256). Error 15 when memory runs out, 44 when all are taken. An error
    // raised inside a method frees the strings parked by that method.
    int AllocTempString(size_t n, char** out);
    // Ignored for numbers outside 1 to 256.
    void FreeTempString(int n);
    // A block of `size` bytes that stays valid until the end of the statement that asked
    // for it. Never null: the pool grows, and a failed allocation raises error 15.
    char* AllocBuffer(size_t size);
    // Frees every block of the pool.
    void FlushTemporaryTexts() { FlushTemporaryTextsFrom(0); }
    // Frees the blocks asked for after the pool held `mark` blocks, and puts the array
    // elements boxed since then back into their cells.
    void FlushTemporaryTextsFrom(uint32_t mark);
    // A place in the pool without a block, whose position dates what is made with it to
    // the statement that asked. Error 15 when the pool cannot grow.
    uint32_t ReserveTemporaryEntry();
    // Array `handle` boxed an element at pool position `position`; error 15 when the
    // note cannot be kept.
    void NoteElementBox(uint32_t handle, uint32_t position);

    // ---- Arrays --------------------------------------------------------------------
    // The array of a handle, or null when the handle names none.
    CScriptArray* GetArray(uint32_t handle) const {
        return reinterpret_cast<CScriptArray*>(arrayList.GetAt(handle));
    }
    // CValue::GetArray, kept inline for compiled code.
    static CScriptArray* ArrayOf(const CValue& value) { return value.GetArray(); }
    // Called when an array's use count reaches 0. Arrays freed by that one (nested
    // items) are destroyed in a loop rather than by recursion, so no depth of nesting
    // can exhaust the stack.
    void DestroyArray(CScriptArray* array);

    // ---- Objects -------------------------------------------------------------------
    // A walk over the live objects of a class: start with GetFirstObjectPos and call
    // GetNextObject until the position is 0.
    uint32_t GetFirstObjectPos(uint32_t classId) const;
    CIBaseClassImpl* GetNextObject(uint32_t classId, uint32_t& position) const;
    // Calls Create inside the error road of a method; error 38 when the object did not
    // become alive.
    void GuardedCreate(CIBaseClassImpl* object);
    // Deletes the object and the objects of its dependent classes that held it. An
    // object whose own method is running is detached at once (every holder reads 0) and
    // destroyed when that method returns.
    void DeleteObject(CIBaseClassImpl* object);
    void CollectGarbage();
    // Calls a method of a built-in object inside the error road. A method error taken by
    // the road lets the statement go on behind the call and what the method read.
    void GuardedCall(CIBaseClassImpl* object, uint16_t methodId);
    // The error road of an error raised inside a method: Program records it and, when
    // its OnError is set, receives it as an event and the script goes on. Otherwise (and
    // always for code 0) the error is thrown on.
    void HandleMethodError(CIError* error);

    // ---- Events --------------------------------------------------------------------
    // For an event property's method: reads "= expression" and returns the function
    // assigned, or null when 0 (or a text reading 0) removes the handler. Errors 40, 41,
    // after which a statement goes on behind the expression; the expression's own errors
    // are the script's, not the method's.
    const BlockRecord* ReadHandlerAssignment();
    // Queues a call of `handler` with the arguments given (null ends them). Error 61
    // when more events than the limit are queued, 15 when memory runs out. Returns the
    // event's position in the queue.
    uint32_t PostEvent(const BlockRecord* handler, const CValue* a1 = nullptr,
                       const CValue* a2 = nullptr, const CValue* a3 = nullptr,
                       const CValue* a4 = nullptr, const CValue* a5 = nullptr,
                       const CValue* a6 = nullptr, const CValue* a7 = nullptr,
                       const CValue* a8 = nullptr);
    // The same, but an event of the same handler and source still queued only takes the
    // new arguments and keeps its place.
    uint32_t PostEventCoalesced(const BlockRecord* handler, CIBaseClassImpl* source,
                                const CValue* a1 = nullptr, const CValue* a2 = nullptr,
                                const CValue* a3 = nullptr, const CValue* a4 = nullptr,
                                const CValue* a5 = nullptr, const CValue* a6 = nullptr,
                                const CValue* a7 = nullptr, const CValue* a8 = nullptr);
    // Runs the next queued event.
    void DispatchEvent();
    // For code that waits outside the statement loop: raises a pending end code, then
    // runs one queued event when no handler is running.
    void CheckPendingAndTick();
    uint32_t GetQueuedEventCount() const { return eventQueue_.GetCount(); }
    // How many events have left the queue, to run or by a reset, since the interpreter
    // began. The queue runs in order, so an event queued as the n-th since then has left
    // once this count reaches n.
    uint64_t GetTakenEventCount() const { return takenEvents_; }
    // Non-zero while an event handler runs.
    int32_t GetHandlerDepth() const { return handlerDepth_; }

    // ---- Run loop (run_loop.cpp, refresh.cpp, message_filter.cpp) ----------------------
    static constexpr uint32_t kMaxMessageFilters = 8;
    static constexpr uint32_t kDefaultRefreshInterval = 50;
    static constexpr uint32_t kDefaultTickInterval = 50;
    // Takes the waiting window messages (at most once in 51 ms), offers each to the
    // message filters and dispatches it, then polls the subsystems that wait on outside
    // events. With an empty queue it waits there instead, up to
    // (5000 - 50 x CPU share) / 100 ms.
    void PumpMessages(uint32_t now);
    // Handles messages, polls, ticks, refreshes and events until `milliseconds` have
    // passed. 1 when a quit message arrived, else 0; a pending end code or the host's stop
    // request is raised (code 0 for the stop).
    int Wait(uint32_t milliseconds);
    // Wait, but only when no event handler is running (0 then).
    int WaitIfIdle(uint32_t milliseconds);
    // The tick: the moving things, the movement controllers, then the frame timers.
    void AdvanceTimeDriven(uint32_t now);
    // The time-driven lists. An add puts the entry at the head of its list (moving things
    // and frame timers are stamped with the time) and returns its handle, 0 when the list
    // cannot grow; an entry already listed stays where it is. A remove of an entry not
    // listed does nothing.
    uint32_t AddMovingLocation(CInterrupt* location);
    void RemoveMovingLocation(CInterrupt* location);
    uint32_t AddMovement(CTDMovements* movement);
    void RemoveMovement(CTDMovements* movement);
    // Takes out and deletes every controller that involves `object`.
    void RemoveMovementsOf(const CIBaseClassImpl* object);
    uint32_t AddAnimated(CFrameTimer* timer);
    void RemoveAnimated(CFrameTimer* timer);
    uint32_t GetTimeDrivenCount() const;
    // Repaints the dirty refresh participants.
    void RefreshPass();
    // The refresh pass at once when one is pending: a modal loop is about to hold the
    // thread, and what the script drew must be on the screen under it.
    void RefreshBeforeModal();
    // With auto refresh: asks for a refresh that falls due two intervals from now.
    void ScheduleRefresh();
    // True unless the main window exists and is not the active one of this process.
    bool IsApplicationActive() const;
    // 0 when all kMaxMessageFilters places are taken: that filter is never asked.
    int AddMessageFilter(CIBaseMessages* filter);
    void RemoveMessageFilter(CIBaseMessages* filter);
    uint32_t GetMessageFilterCount() const { return filterCount_; }
    // Reset's part: the refresh list, the filters and the time-driven lists are emptied
    // and the run-loop settings go back to their defaults.
    void ResetRunLoop();
    // RunMain's part before the first statement: the first check refreshes and ticks at
    // once, the first pump comes 51 ms later.
    void StartRunClock();

    // Set by CIRefresh::SetDirty, by a participant joining and by ScheduleRefresh.
    uint32_t refreshPending = 0;
    // The display option to wait for the vertical blank (off until the Display class sets
    // it): every refresh pass asks for one wait, and the first surface whose wait succeeds
    // before it paints its window takes the request.
    uint32_t waitForVerticalBlank = 0;
    uint32_t verticalBlankRequest = 0;
    uint32_t autoRefresh = 1;
    // 1 while a refresh pass runs.
    uint32_t refreshing = 0;
    uint32_t refreshInterval = kDefaultRefreshInterval;
    uint32_t tickInterval = kDefaultTickInterval;
    // timeGetTime values, compared only through signed differences.
    uint32_t lastRefresh = 0;
    uint32_t lastTick = 0;
    uint32_t lastPump = 0;
    // Statements between two housekeeping checks.
    int32_t statementsPerCheck = kStatementsPerCheck;
    // The CIRefresh participants.
    CHandleList refreshList;
    // The script's main Window object and its window, both set and cleared by the window
    // classes; null and 0: none.
    CIBaseClassImpl* mainWindow = nullptr;
    HWND mainWindowHandle = 0;

    // Program.End and the window classes: the run ends with this code at the next check.
    // Set through EndAtNextStatement or KeepPendingError.
    int32_t pendingEndCode = -1;
    int32_t eventsEnabled = 1;
    int32_t eventLimit = kDefaultEventLimit;
    // Objects created since the last collection, and the count that starts one.
    uint32_t creations = 0;
    uint32_t garbageThreshold = kDefaultGarbageThreshold;
    uint32_t runningState = kIdle;
    // The application entry of the module running (set by each unit marker).
    uint32_t entryIndex = 0;
    // The window that CurWindow names (set by the window classes); null: none.
    CIBaseClassImpl* currentWindow = nullptr;
    // The kinds of project (mode bits 1, 2, 4) the running project belongs to; New
    // refuses a class whose GetProjectKindMask has none of them.
    int32_t projectKindBits = -1;
    // The code that ended the last run (0 end, 1 restart, other codes errors).
    int32_t lastEndCode = 0;
    // Non-zero: the run takes the token walk alone, without compiled code and without
    // the name caches. The walk defines what a script does; tests run programs both ways
    // and hold the compiled code to it. Set before Start.
    int32_t referenceWalk = 0;
    // Non-zero: script functions, top levels and event handlers run from their compiled
    // code (compiled when they first run); what the compiler does not cover takes the
    // walk. 0: everything takes the walk. Set before Start.
    int32_t compiledForm = 1;
    // The functions, top levels and handlers compiled since Start.
    uint32_t GetCompiledFunctionCount() const { return compiledCount_; }

    // 1 while the interpreter is being destroyed or reset: values then release no
    // arrays and do not count down object uses, and Delete does nothing.
    int shuttingDown = 0;
    // Script arrays by handle.
    CHandleList arrayList;
    // The live objects of each class id, and the last serial given in each.
    CHandleList classObjects[kClassSlotCount];
    uint32_t classSerials[kClassSlotCount] = {};
    // The instance numbers given so far.
    uint64_t instancesMade = 0;

private:
    friend class CallScope;
    friend class FunctionCompiler;

    using Handler = void (*)(CInterpretor& interpreter);
    struct HandlerTables;
    static const HandlerTables& Tables();
    // Whether the walk's expression reads an operand at a token of this code, or fails there.
    static bool StartsOperand(uint32_t code);
    // What Tables() returns, named for the compiled code's entry, which takes its address
    // without a call.
    static const HandlerTables handlerTables_;

    // One place of the value stack.
    struct StackSlot {
        explicit StackSlot(CInterpretor* interpreter) : value(interpreter), anchor(interpreter) {}
        CValue value;
        // The variable the value was read from, or null; assignments write through it.
        CValue* source = nullptr;
        // Holds the object or array that the value's source variable lives in, so that
        // the assignment that ends the expression finds it still there (or, for an
        // object deleted meanwhile, knows that it is gone).
        CValue anchor;
        uint32_t anchorKind = kValueInt;
        // The indices of a missing element the value names: the assignment stores at
        // them in the anchored array, whose shape its right side may have changed.
        int32_t indexCount = 0;
        int32_t indices[kMaxArrayIndices] = {};
    };

    // What a running script function or event handler changed in the interpreter, put
    // back when it ends. Kept off the C++ stack, so that a deep recursion of script
    // calls uses little of it.
    struct PendingCall;
    struct CallRecord {
        explicit CallRecord(CInterpretor* interpreter) : result(interpreter) {}
        CValue result;
        CIBaseObjectVar* savedLocals = nullptr;
        CIBaseObjectVar* savedCurrent = nullptr;
        uint8_t* savedToken = nullptr;
        CValue* savedReturnValue = nullptr;
        int32_t savedBlockDepth = 0;
        int32_t savedReturnFlag = 0;
        uint32_t savedEntry = 0;
        // The scope epoch before the call, and the count of shared changes then.
        uint64_t savedEpoch = 0;
        uint64_t savedSharedChanges = 0;
        CIBaseClassImpl* current = nullptr;
        // The fresh locals object of the call, when it has one.
        CIBaseObjectVar* ownedLocals = nullptr;
        // The locals object of this nesting level, emptied after each call and used
        // again by the next (it is listed and holds one use, like any locals object).
        CIBaseObjectVar* spareLocals = nullptr;
        // Of a compiled call that runs in its caller's dispatch (RunCompiled) rather than
        // in a frame of the machine: the callee's code and slots as it begins, how its
        // frame was entered, and where the caller's steps go on when it returns.
        const CompiledFunction* calleeCode = nullptr;
        CValue* calleeSlots = nullptr;
        StackSlot* operand = nullptr;
        bool plainFrame = false;
        bool sameScopes = false;
        const CompiledFunction* callerCode = nullptr;
        const CompiledOp* callerResume = nullptr;
        CValue* callerSlots = nullptr;
        uint64_t callerBound = 0;
        uint32_t callerBase = 0;
        uint32_t callerPoolMark = 0;
        PendingCall* callerPending = nullptr;
        // The next code's pending calls as the callee began, put back as it ends.
        PendingCall* calleePending = nullptr;
        // The call of the same dispatch that this one was made from; null for its entry.
        CallRecord* callerRecord = nullptr;
    };

    // One call frame: the arguments of a call being made.
    struct CallFrame {
        int32_t count = 0;
        CValue slots[kFrameSlots];
    };

    // Fills the position of an error from the current token while a stream runs.
    virtual void LocateError(CIError& error);

    // ---- Statement loop (statements.cpp) -------------------------------------------
    void ExecuteBlock(uint8_t* position);
    void Housekeeping();
    // Whether Housekeeping would do nothing now.
    bool HousekeepingIdle();
    uint16_t CurrentCode() const {
        return reinterpret_cast<const TokenHeader*>(currentToken)->code;
    }
    const TargetToken* CurrentTarget() const {
        return reinterpret_cast<const TargetToken*>(currentToken);
    }
    uint8_t* At(uint32_t offset) const { return GetStream() + offset; }
    // The position just past the record at `offset`.
    uint8_t* After(uint32_t offset) const {
        return At(offset) + reinterpret_cast<const TokenHeader*>(At(offset))->size;
    }
    void PushBlock(const BlockRecord* block) {
        if (uint32_t(blockDepth_) + 1 >= blockCapacity_) GrowBlocks();
        blocks_[++blockDepth_] = block;
    }
    [[gnu::noinline]] void GrowBlocks();
    void PopBlock();
    // Pops every level above `depth`, dropping their variables.
    void UnwindBlocks(int32_t depth);
    void StatementEnd();
    void StatementSyntaxError();
    void StatementExpression();
    void StatementMemberCall();
    void StatementStepOver();
    void StatementUnitMarker();
    void StatementFunction();
    void StatementIf();
    void StatementElse();
    void StatementWhile();
    void StatementFor();
    void StatementSwitch();
    void StatementCase();
    void StatementBreak();
    void StatementContinue();
    void StatementReturn();
    void StatementOpenBrace();
    void StatementCloseBrace();
    // Continues after the loop's "}" and pops it.
    void LeaveLoop(const BlockRecord* block);
    // Evaluates the condition of a For or While block.
    bool LoopConditionHolds(const BlockRecord* block);
    void StatementDelete();

    // Error 15 when the run has used more than its stack budget.
    void CheckStack() {
        if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < stackFloor_) RaiseError(15);
    }

    // ---- Expressions (expression.cpp) ----------------------------------------------
    // Evaluates the expression at the current token; the token that ends it is not
    // consumed. The result stays valid until the next evaluation at the same depth.
    CValue* Evaluate();
    CValue* EvaluateAndSkip();
    void GrowValueStack(uint32_t n);
    // The operand slot at the current depth; its source is cleared.
    CValue* Operand() {
        StackSlot* slot = slots_[depth_];
        slot->source = nullptr;
        // The object or array anchored stays held, unused, so that the next read at this
        // place mostly finds it there and takes no new reference; a Delete still zeroes it.
        slot->anchorKind = kValueInt;
        return &slot->value;
    }
    CValue* Left() { return &slots_[depth_]->value; }
    CValue*& LeftSource() { return slots_[depth_]->source; }
    CValue* Right() { return &slots_[depth_ + 1]->value; }
    // Anchors the value at the current depth to the object or array holding its source.
    void Anchor(CIBaseClassImpl* object);
    void AnchorArray(const CValue& array);
    // The object anchoring the current slot; error 32 when it was deleted meanwhile.
    CIBaseObjectVar* AnchoredObject();
    // The source variable of the current slot, checked against its anchor; null when
    // the value was not read from a variable.
    CValue* AnchoredSource();
    void SwapSlots(uint32_t a, uint32_t b) { std::swap(slots_[a], slots_[b]); }
    void OperandSyntaxError();
    void OperandInteger();
    void OperandDouble();
    void OperandString();
    void OperandTrue();
    void OperandFalse();
    void OperandDefault();
    void OperandEmpty();
    void OperandParenthesis();
    void OperandPrefixPlus();
    void OperandPrefixMinus();
    void OperandPrefixNot();
    void OperandPrefixComplement();
    void OperandPrefixStep();
    void RunOperand();
    void BinaryAssign();
    void BinaryCompound();
    void BinaryQuestion();
    void BinaryLogicalAnd();
    void BinaryLogicalOr();
    void BinaryCompare();
    void BinaryNot();
    void BinaryComplement();
    void BinaryPostStep();
    void BinaryArithmetic();

    // ---- Calls (calls.cpp) ---------------------------------------------------------
    // The member-call operand on a built-in object at the current member token.
    void CallObjectMethod(CIBaseClassImpl* object);
    void CallClassMember();
    void OperandSingleton();
    void OperandCurWindow();
    void CallFunctionByName();
    // Calls a script function; the current token is the call token.
    void CallScriptFunction(CIBaseObjectVar* locals, CIBaseObjectVar* current,
                            const BlockRecord* function);
    // The call of `function` once its arguments are in the current frame and it passed
    // the checks of a call.
    void InvokeFunction(CIBaseObjectVar* locals, CIBaseObjectVar* current,
                        const BlockRecord* function);

    // ---- Compiled functions (compiled_code.cpp) -------------------------------------
    // The compiled code of `function`, compiled now on its first call; null when the
    // compiler does not cover its body, which then takes the walk.
    const CompiledFunction* CompiledFor(const BlockRecord* function);
    // A call of a compiled function: its parameters bound to slots from the current
    // frame, its result in the operand.
    void RunCompiledCall(CIBaseObjectVar* current, const BlockRecord* function,
                         const CompiledFunction& code);
    // Whether `code`, a body answered from its Return, gave its value for the current frame's
    // arguments to the operand, without a call.
    [[gnu::always_inline]] inline bool AnswerFromFrame(const CompiledFunction& code);
    // The slots of a call of `code` (of ReserveSlots), its parameters bound from the current
    // frame.
    CValue* FrameArguments(const CompiledFunction& code);
    // Runs the code of a call with its slots, until Return or the body's end.
    void RunCompiled(const CompiledFunction& code, CValue* slots);
    // The call of a compiled function whose parameters are in `slots` (of ReserveSlots),
    // its result in the operand; the slots are let go as it ends.
    void RunCompiledFrame(CIBaseObjectVar* current, const BlockRecord* function,
                          const CompiledFunction& code, CValue* slots);
    [[gnu::always_inline]] inline void EnterCompiledFrame(CIBaseObjectVar* current,
                                                          const BlockRecord* function,
                                                          const CompiledFunction& code,
                                                          CValue* slots);
    [[gnu::always_inline]] inline void LeavePlainFrame(CallRecord* record, bool sameScopes);
    // The frame of a compiled call begun (its record) and ended, with RunCompiled between
    // them; the call's slots are let go as it ends, or as the frame fails to begin.
    [[gnu::always_inline]] inline CallRecord* EnterFrame(CIBaseObjectVar* current,
                                                         const BlockRecord* function,
                                                         const CompiledFunction& code,
                                                         CValue* slots);
    [[gnu::always_inline]] inline void LeaveFrame(CallRecord* record, const CompiledFunction& code,
                                                  CValue* slots);
    // EnterFrame for a callee whose steps the caller's dispatch runs itself (RunCompiled),
    // its code and slots kept in the record it gives.
    [[gnu::always_inline]] inline CallRecord* EnterInlineFrame(CIBaseObjectVar* current,
                                                               const BlockRecord* function,
                                                               const CompiledFunction& code,
                                                               CValue* slots);
    // The callee's slots of a kOpCallDirect `op`, its arguments worked out into them from
    // the caller's `slots` and the names it has `bound`, and the callee and its function
    // found; null when the call is not one its site made last or an argument is not a
    // number, text or object at hand: nothing has changed then but the site's cache of its
    // name's variable.
    [[gnu::always_inline]] inline CValue* DirectArguments(const CompiledFunction& code,
                                                          const CompiledOp& op, const CValue* slots,
                                                          uint64_t bound,
                                                          const CompiledFunction*& calleeFound,
                                                          const BlockRecord*& functionFound);
    // A kOpCallDirect `op` of a callee answered from its one Return, worked out from integer
    // arguments without the callee's slots, its value in the operand; false, with nothing
    // changed, when an argument is not an integer at hand or the Return gives up.
    [[gnu::noinline]] bool AnswerDirectCall(const CompiledFunction& code, const CompiledOp& op,
                                            const CValue* slots, uint64_t bound);
    // What DirectArguments gives for a call that AnswerDirectCall answered.
    static CValue* AnsweredCall() { return reinterpret_cast<CValue*>(alignof(CValue)); }
    static constexpr uint32_t kAnsweredArguments = 8;
    // The call of a kOpCallDirect `op` up to the callee's steps, which the caller's dispatch
    // runs itself (RunCompiled): the callee's record, its frame entered and its code and
    // slots in it, for a call to run; null when the call was answered (`made`) or, with
    // nothing changed but the site's cache, cannot be made here.
    [[gnu::always_inline]] inline CallRecord* BeginDirectCall(const CompiledFunction& code,
                                                              const CompiledOp& op,
                                                              const CValue* slots, uint64_t bound,
                                                              bool& made);
    // The call of a kOpMethodEnd `op` on a script object up to the method's steps, as
    // BeginDirectCall's: its arguments taken from the argument frame into the method's
    // slots. Null, with nothing changed, for any call that is not of the compiled method its
    // site called last, with no error to raise, and arguments that are numbers, texts or
    // objects.
    [[gnu::always_inline]] inline CallRecord* BeginScriptMethod(const CompiledFunction& code,
                                                                const CompiledOp& op);
    // The steps of `code` with its `slots` run in a frame of their own that EnterFrame began
    // (its `record`), and the frame ended.
    [[gnu::always_inline]] inline void RunInFrame(CallRecord* record, const CompiledFunction& code,
                                                  CValue* slots);
    // The end of a frame that EnterFrame began, with its `slots`, as an error leaves it.
    void AbandonDirectCall(CallRecord* record, CValue* slots);
    // The element argument whose steps begin at `step` read into `argument` (integer 0) as
    // the walk's operand would pass it, `step` left on its kOpArgument; false, with nothing
    // changed, when it is not a number or a script object in a cell inside its array.
    bool PassElement(const CompiledOp*& step, const CValue* slots, uint64_t bound,
                     CValue& argument);
    // PassElement of any other element: of a name, or by several indices, or by an index
    // that integer operators work out.
    [[gnu::noinline]] bool PassIndexedElement(const CompiledOp*& step, const CValue* slots,
                                              uint64_t bound, CValue& argument);
    // The call of `callee`, whose `count` arguments are in `target`, answered from its one
    // Return when it can be: its result is then the operand and its slots are let go.
    [[gnu::noinline]] bool AnswerFromReturn(const CompiledFunction& callee, CValue* target,
                                            uint32_t count);
    [[gnu::always_inline]] inline void TakeResult(const CValue& result);
    // The kOpDeclareNumber `op` whose value is one kOpSlotInt or kOpSlotSlot step, worked out
    // on integers into its slot (compiled_calls.cpp); false, with nothing changed, when
    // they are not integers or the operator fails.
    [[gnu::noinline]] bool DeclareIntegerPair(const CompiledOp& op, CValue* slots);
    // The variable a call site's name finds with This and the globals as they are now,
    // kept in the site; out of line, since most calls find the site's variable still valid.
    [[gnu::noinline]] CVariable* LookUpCallSite(CompiledCallSite& site, NameToken* token);
    // The frame of RunCompiledFrame for code whose body reaches no scope by name
    // (plainFrame): the call keeps the caller's locals object and pushes no block.
    [[gnu::always_inline]] inline CallRecord* EnterPlainFrame(CIBaseObjectVar* current,
                                                              const BlockRecord* function,
                                                              const CompiledFunction& code);
    // `count` slots of a compiled call on top of the slot stack, each holding integer 0.
    CValue* ReserveSlots(uint32_t count) {
        if (uint32_t(slotLimit_ - slotTop_) >= count) {
            CValue* slots = slotTop_;
            slotTop_ += count;
            return slots;
        }
        return ReserveSlotsInNewSegment(count);
    }
    [[gnu::noinline]] CValue* ReserveSlotsInNewSegment(uint32_t count);
    // Empties the slots from `slots` (of ReserveSlots) to the top of the stack and
    // takes them off it.
    void ReleaseSlots(CValue* slots);
    // ReleaseSlots when the top of the stack is the end of the `count` slots at `slots`,
    // as it is when a call ends without an error.
    [[gnu::always_inline]] void ReleaseTopSlots(CValue* slots, uint32_t count) {
        // Slots in the segment of the top, and ending there; those of another segment (which
        // may end where this one starts) lie below its start.
        if (reinterpret_cast<uintptr_t>(slots) < reinterpret_cast<uintptr_t>(slotBase_) ||
            slots + count != slotTop_) {
            ReleaseSlots(slots);
            return;
        }
        slotTop_ = slots;
        // Most calls have a few slots and leave numbers alone in them: those are read and
        // zeroed without a test for each.
        switch (count) {
        case 0: return;
        case 1: if (ClearNumberSlots<1>(slots)) return; break;
        case 2: if (ClearNumberSlots<2>(slots)) return; break;
        case 3: if (ClearNumberSlots<3>(slots)) return; break;
        case 4: if (ClearNumberSlots<4>(slots)) return; break;
        case 5: if (ClearNumberSlots<5>(slots)) return; break;
        case 6: if (ClearNumberSlots<6>(slots)) return; break;
        case 7: if (ClearNumberSlots<7>(slots)) return; break;
        case 8: if (ClearNumberSlots<8>(slots)) return; break;
        default: break;
        }
        for (uint32_t i = 0; i < count; ++i)
            slots[i].SetInt(0);
    }
    // The `kCount` slots at `slots` left holding integer 0 when they all hold numbers; false,
    // with nothing changed, when one holds anything else.
    template <uint32_t kCount>
    [[gnu::always_inline]] static bool ClearNumberSlots(CValue* slots) {
        uint32_t kinds = 0;
        for (uint32_t i = 0; i < kCount; ++i)
            kinds |= slots[i].StoredType();
        // Integers and doubles are the kinds 0 and 1.
        if (kinds > kValueDouble) return false;
        for (uint32_t i = 0; i < kCount; ++i)
            slots[i].ClearNumber();
        return true;
    }
    // Empties the whole slot stack (a reset).
    void ClearSlotStack();
    // A kOpNumberCode step of `code`, its expression's steps up to `end`, of a call with
    // these slots, bound as `bound` says (compiled_numbers.cpp): false when the
    // expression is not one of numbers now, or with `kIntegers` of integers alone. Kept
    // out of RunCompiled so that deep recursion does not carry its locals.
    template <bool kIntegers>
    [[gnu::noinline, gnu::flatten]] bool
    RunCompiledNumbers(const CompiledFunction& code, const CompiledOp* op, const CompiledOp* end,
                       CValue* slots, uint64_t bound);
    // RunCompiledNumbers on both kinds after the integers did not suffice; the steps take both
    // from then on.
    [[gnu::noinline]] bool ReplayOnKinds(const CompiledFunction& code, const CompiledOp* op,
                                         const CompiledOp* end, CValue* slots, uint64_t bound);
    // The register program of a kOpNumberCode `op` (compiled_registers.cpp), false as for
    // RunCompiledNumbers; `state` is the op's entry of metDoubles. On integers, it goes on
    // with RunOnKinds where they do not suffice.
    template <bool kIntegers>
    [[gnu::noinline]] bool RunNumberProgram(const NumberProgram& program, const CompiledOp& op,
                                            CValue* slots, uint64_t bound, uint8_t& state);
    // `value` left above the statement's base, where the walk leaves a statement's value.
    [[gnu::noinline]] bool LeaveInteger(int32_t value);
    // RunNumberProgram on integers of a program that IsPlainProgram; with kDeclarations, the
    // code of a kOpDeclareNumbers `op` from where `state` says, of which its quota are done,
    // each ending by counting: the step of the last one's end, `op` when none was.
    template <bool kDeclarations>
    [[gnu::noinline]] auto
    RunPlainProgram(const NumberProgram& program, const CompiledOp& op, CValue* slots,
                    uint64_t bound,
                    std::conditional_t<kDeclarations, DeclarationRun, uint8_t>& state);
    // RunNumberProgram on integers of a program that IsPlainMemberProgram.
    [[gnu::noinline]] bool RunPlainMembers(const NumberProgram& program, const CompiledOp& op,
                                           CValue* slots, uint64_t bound, uint8_t& state);
    // The statements of the row that the kOpMemberRow `op` begins, each as RunPlainMembers
    // runs it, its branch taken and its end counted while that is all it has to do: the step
    // before the one to go on at; null, with nothing changed, when the first was not done so.
    [[gnu::noinline]] const CompiledOp*
    RunMemberRow(const CompiledFunction& code, const CompiledOp* op, CValue* slots, uint64_t bound);
    // The declarations of kOpDeclareNumbers `op` worked out on integers (compiled_registers.cpp),
    // each while the one before it was and its end found nothing to do, their ends counted
    // and checked as EndStatementQuietly does (`poolMark` as for EndCompiledStatement): the
    // step before the one to go on at, `op` itself when none was.
    [[gnu::noinline]] const CompiledOp* RunDeclarations(const CompiledFunction& code,
                                                        const CompiledOp* op, CValue* slots,
                                                        uint64_t bound, uint32_t poolMark);
    // The register program on registers that keep kinds, after the integers did not suffice.
    [[gnu::noinline]] bool RunOnKinds(const NumberProgram& program, const CompiledOp& op,
                                      CValue* slots, uint64_t bound, uint8_t& state);
    // The register program of `op` written for the kinds its values hold (written first
    // when it has none), false as for RunNumberProgram or when a kind differs.
    bool RunKinded(const NumberProgram& program, const CompiledOp& op, CValue* slots,
                   uint64_t bound);
    // The variables of a register program's names in this state of the scopes; false when
    // one finds none.
    [[gnu::noinline]] bool FindNames(const NumberProgram& program);
    // The variables of a loop program's names in the scopes as they are now; false when a
    // name has none, or a scope has a name it binds a slot for.
    [[gnu::noinline]] bool FindLoopNames(const LoopProgram& loop);
    // A program with a nameStep done on the integer its name holds; false, with nothing
    // changed, when it has none, the name holds no integer or the operator fails.
    [[gnu::noinline]] bool StepName(const NumberProgram& program);
    // StepName once the scopes' state has changed: the name found again, then stepped.
    [[gnu::noinline]] bool FindNameAndStep(const NumberProgram& program);
    // The variables of a register program's members in the objects its slots hold now
    // (compiled_register_members.cpp); false when one is not a number member of a script
    // object at hand.
    bool FindMembers(const NumberProgram& program, const CValue* slots, uint64_t bound);
    [[gnu::noinline]] bool FindEachMember(const NumberProgram& program, const CValue* slots,
                                          uint64_t bound);
    CIBaseObjectVar* MembersHolder(const MemberOperand& member, const CValue* slots,
                                   uint64_t bound);
    CVariable* ShapedMember(const MemberOperand& member, CIBaseObjectVar* holder);
    // The variables of a loop program's members in the objects its slots hold now; false
    // when an object is not at hand or has no such member.
    [[gnu::noinline]] bool FindLoopMembers(const LoopProgram& loop, const CValue* slots,
                                           uint64_t bound);
    // The kOpNumberCode `op` worked out, integers tried first unless it met a double
    // before (compiled_registers.cpp): false when its expression is not one of numbers now.
    // Out of RunCompiled, which every level of a recursion carries.
    [[gnu::noinline]] bool RunNumberCode(const CompiledFunction& code, const CompiledOp* op,
                                         const CompiledOp* end, CValue* slots, uint64_t bound);
    // RunNumberCode, unless its last runs gave up in a row (CompiledFunction::giveUps).
    [[gnu::always_inline]] inline bool RunNumberCodeUnlessGivenUp(const CompiledFunction& code,
                                                                  const CompiledOp* op,
                                                                  const CompiledOp* end,
                                                                  CValue* slots, uint64_t bound);
    // RunNumberCode of a program that met a double or gave up for good, or of steps replayed.
    [[gnu::noinline]] bool RunNumberCodeOtherwise(const CompiledFunction& code,
                                                  const CompiledOp* op, const CompiledOp* end,
                                                  CValue* slots, uint64_t bound);
    // A slot's value read as an operand at the current depth.
    void PushSlot(CValue* value);
    // A script object held by `holder` read as an operand at the current depth when no
    // member follows (compiled_objects.cpp); false, having changed nothing the walk's
    // handlers do not change again, for anything else.
    bool PushWholeObject(CValue* holder);
    // The script object `holder` holds when no member follows, else null.
    CIBaseClassImpl* WholeObject(const CValue& holder);
    void PushObjectOperand(CIBaseClassImpl* object, CValue* holder);
    // The element at the place's array and indices read so when it holds a script object.
    [[gnu::noinline]] bool ElementObjectOperand(int count);
    // The rounds of the loop program of kOpLoopRound `round` run from its first step, the
    // value stack at `base` (compiled_register_loops.cpp): the step where the ordinary steps
    // go on, and the slots bound there.
    [[gnu::noinline]] LoopExit RunLoopProgram(const CompiledFunction& code, const CompiledOp& round,
                                              CValue* slots, uint64_t bound, uint32_t base,
                                              uint32_t poolMark);
    // Loop program `loop` written for the kinds its slots and names hold now; false when
    // it cannot be.
    [[gnu::noinline]] bool WriteLoopProgram(const CompiledFunction& code, const LoopProgram& loop,
                                            const CValue* slots, uint64_t bound);
    // Its code written for `bound` alone.
    bool WriteLoopCode(const CompiledFunction& code, const LoopProgram& loop, const CValue* slots,
                       uint64_t bound);
    // A loop program's statement end that has more to do than count: what
    // EndCompiledStatement does there, with the statement's value above the base.
    [[gnu::noinline]] void EndLoopStatement(const CompiledOp& end, uint32_t base,
                                            uint32_t poolMark);
    // A loop program's kOpPushBlock or kOpPopBlock `step`, as the step does it.
    [[gnu::noinline]] void LoopBlock(const CompiledOp& step, uint32_t base);
    // Whether no scope has the names loop program `loop` binds slots for.
    bool LoopBindsFree(const LoopProgram& loop);
    // ---- Array elements of compiled code (compiled_elements.cpp) ----------------------
    // An element named by the current token, which no scope has: the placeholder of a
    // new array as the operand, which only an assignment at `after` (the token after "]")
    // takes.
    void NewArrayPlaceholder(uint8_t* after);
    // The element of the variable kept in the current place, at the `count` indices
    // kept there, as an operand: ElementOperand.
    void CompiledElementOperand(int count);
    // "=" to the placeholder of a new array in the current place: the local array made with
    // the value above as its element at the `count` indices kept there, as AssignToNewArray
    // makes it; the value in the current place. The local is `slot` when not null.
    void NewArrayFromPlaceholder(int count, CValue* slot);
    // Operator `code` on the element read from its cell into the current place: its cell
    // written in place, the result at the current depth. When it cannot be, false, and
    // the place names the element by its box, for the operator's handler.
    // `keepAddress`: the result names the element, as the handler leaves it.
    bool AssignElementCell(uint8_t code, bool keepAddress);
    // kOpElementRead `op` of `code` whose array's variable is named through the scopes, in
    // a call with these slots bound as `bound` and its value stack at `base`: true when it
    // read the element's number from its cell into its place; false for the full steps
    // to do it.
    [[gnu::noinline]] bool ReadElementInCell(const CompiledFunction& code, const CompiledOp& op,
                                             CValue* slots, uint64_t bound, uint32_t base);
    // After a statement of compiled code, what the statement loop does after each.
    void EndCompiledStatement(uint32_t poolMark);
    // Counts a statement end that has nothing else to do, as EndCompiledStatement would;
    // false, having done nothing, when the end has more to do.
    bool EndStatementQuietly(uint32_t poolMark);
    // The rest of EndCompiledStatement, apart so that the quiet ends take no frame for it.
    [[gnu::noinline]] void EndStatementFully(uint32_t poolMark);
    // ---- Members, methods, New and Delete in compiled code (compiled_objects.cpp) ---
    // Where a chain of members stands between two steps of compiled code, as the walk
    // stands between two links of it: a variable's value not looked at yet, a script
    // object whose members come next, a built-in object or a text whose method comes
    // next, or a method called already.
    struct MemberChain {
        enum Mode : uint8_t { kValue, kScript, kBuiltin, kText, kDone };
        uint8_t mode = kValue;
        CValue* value = nullptr;
        CIBaseClassImpl* object = nullptr;
        // Where the script object was read from (null: This).
        CValue* holder = nullptr;
        // A text written in the code, borrowed from the stream.
        const char* text = nullptr;
    };
    // The walk's operand handler of `code` at the current token.
    void WalkedOperand(uint32_t code);
    // "This.member = slot;" (`op` its kOpWalkOperand) when This has no such member yet, as
    // the walk's read and assignment would do it: the member added with the slot's value,
    // which is left above the statement's base. False, with nothing changed, for anything
    // else.
    bool AddThisMember(const CompiledOp& op, const CValue& value, StackSlot* place);
    // "This.member" (`op` its kOpWalkOperand) read into `place` as the walk reads a member
    // of This that holds a number. False, with nothing changed, for anything else.
    bool ReadThisMember(const CompiledOp& op, StackSlot* place);
    // The member token of an operand "This.member" that ends at `op`'s end (`op` its
    // kOpWalkOperand), or null for a longer chain or another operand.
    NameToken* ThisMemberToken(const CompiledOp& op);
    // A slot's value read at the member token after its name, and the members after it.
    void SlotMembers(CValue* value, CompiledMemberSite& site);
    // Where the walk stopped after one of those when it is not at its end: on at the
    // kOpMemberAssigned `next` when the operand read its assignment, else its error.
    const CompiledOp* WalkedOperandEnd(const CompiledOp* next);
    void ChainHead(uint32_t kind, CValue* slot);
    // ChainHead and MethodBegin at once for the kOpChainHead `head` of a slot whose value is
    // a script object, followed by the call of a member holding a function; false, with
    // nothing done, for any other.
    bool SlotMethodBegin(const CompiledOp& head, CValue* slots, uint64_t bound);
    void ChainMember();
    // `count`: the call's arguments.
    void MethodBegin(const CompiledFunction& code, uint32_t site, uint32_t count);
    // The call; for a script object's method, what to call on the anchored object.
    const BlockRecord* MethodEnd(const CompiledFunction& code, uint32_t site, int32_t count);
    void CompiledNewBegin(bool function);
    void CompiledNewEnd(const uint8_t* target, int32_t count);
    void CompiledDelete(const CValue& value);
    // The chain's value looked at: what its next member or method is read on.
    void ResolveChain();
    // The walk ends its expression at a member token it cannot read: the error the
    // constructs around it, or the statement starting there, raise.
    [[noreturn]] void ChainStops();
    // The steps the walk takes then, as far as they are written and fail; returns where
    // they would go on.
    void TakeStopSteps(const MemberStop& stop);
    // Whether the steps from `from` are operators up to the statement's end.
    static bool OperatorsThenStatement(const MemberStop& stop, uint8_t from);
    uint32_t SiteMethod(const CompiledFunction& code, uint32_t site, const CClassRecord* record);
    bool IsScriptObject(const CIBaseClassImpl* object) const {
        return object->classRecord == nullptr ||
               object == static_cast<const CIBaseClassImpl*>(this);
    }
    // Members after an element or a parenthesis (compiled_chains.cpp). The value at the
    // current depth read on at the member token, as a parenthesis reads on.
    void MembersOfValue();
    // The element of `count` indices kept at the current depth, or the value there, as
    // the head of a chain that ends in a method call.
    void ElementChainHead(int count);
    void ValueChainHead();
    // A member with an index list read on the chain's script object: false when the
    // object has no such member, its placeholder made for "=" and its indices stepped over.
    bool MemberElementBegin();
    // The element of `member` on the anchored object at the `count` indices kept at the
    // current depth, as MemberElement reads it.
    void CompiledMemberElement(const NameToken* member, int count);
    MemberChain chain_;
    // The compiled code of each function called so far (null: not covered).
    std::unordered_map<const BlockRecord*, std::unique_ptr<CompiledFunction>> compiled_;
    uint32_t compiledCount_ = 0;

    // ---- Compiled top levels and handlers (compiled_switch.cpp) ----------------------
    // The top level from `start` run, from its compiled code when the compiled form is on.
    void RunTopLevel(uint8_t* start);
    // The body of an event handler run, its call begun and its parameters bound.
    void RunHandlerBody(const BlockRecord* handler);
    // The code of the top level from `start`, or of `handler`'s body when it is not null,
    // compiled now on its first run with every name going through the scopes; null when
    // nothing of it could be compiled.
    const CompiledFunction* CompiledEntry(uint8_t* start, const BlockRecord* handler);
    // The Switch's selector above the current depth kept for the cases: a placeholder
    // raises 41, as its copy would.
    void KeepSwitchSelector();
    // Whether the Case's value at depth + 2 equals the selector at depth + 1.
    bool CaseMatches();
    // The statement at the current token run by the walk's handler: false when it stops at
    // `expected`; else the statement ends and the walk runs the rest of the block (true).
    bool WalkCompiledStatement(const uint8_t* expected, uint32_t poolMark);
    // Whether the statement at the current token ends the run (its walk raises 0) and the
    // code is a top level's: RunCompiled then returns, as the normal end of a run is no error
    // to unwind the machine stack for.
    bool EndsTopLevel(const CompiledFunction& code) const;
    // The compiled code of each top level and handler run so far (null: not covered).
    std::unordered_map<const void*, std::unique_ptr<CompiledFunction>> compiledEntries_;

    // The slots of compiled calls under way, a caller's below its callees'. Segments
    // never move once made: values read from a slot keep its address.
    struct SlotSegment {
        std::unique_ptr<CValue[]> values;
        uint32_t size = 0;
        uint32_t used = 0;
    };
    static constexpr uint32_t kSlotSegmentSize = 4096;
    std::vector<SlotSegment> slotSegments_;
    // The segment holding the top of the stack.
    uint32_t slotSegment_ = 0;
    // That segment's first slot, the top, and its end, which a call moves the top
    // between without going through the segments; its `used` is written only as the top
    // leaves it (SaveSlotTop) and read back as it comes to it (EnterSlotSegment).
    CValue* slotBase_ = nullptr;
    CValue* slotTop_ = nullptr;
    CValue* slotLimit_ = nullptr;
    void SaveSlotTop() {
        if (!slotSegments_.empty())
            slotSegments_[slotSegment_].used = uint32_t(slotTop_ - slotBase_);
    }
    void EnterSlotSegment(uint32_t index) {
        slotSegment_ = index;
        SlotSegment& segment = slotSegments_[index];
        slotBase_ = segment.values.get();
        slotTop_ = slotBase_ + segment.used;
        slotLimit_ = slotBase_ + segment.size;
    }
    // The calls of running compiled code waiting for their arguments, each running code's
    // frame of CompiledFunction::kMaxPendingCalls + 1 above that of the code that called
    // it: the function called, and the callee's slots its arguments go into (null: the
    // argument frame). Kept off the native stack, which every level of a recursion shares,
    // in segments that never move, so a running code keeps its frame's address across
    // the calls it makes. The last entry of a frame is never written: always null.
    struct PendingCall {
        const BlockRecord* function = nullptr;
        CValue* target = nullptr;
    };
    // CompiledFunction::kMaxPendingCalls + 1.
    static constexpr uint32_t kPendingFrameSize = 17;
    static constexpr uint32_t kPendingFramesPerSegmentShift = 8;
    static constexpr uint32_t kPendingFramesPerSegment = 1u << kPendingFramesPerSegmentShift;
    // Each segment has one frame more that is never taken, so that the end of one is the
    // start of no other.
    std::vector<std::unique_ptr<PendingCall[]>> pendingSegments_;
    static constexpr uintptr_t kPendingSegmentBytes =
        uintptr_t(kPendingFramesPerSegment) * kPendingFrameSize * sizeof(PendingCall);
    static constexpr uintptr_t kPendingFrameBytes = kPendingFrameSize * sizeof(PendingCall);
    // The frame the next running code takes, and the end of the segment that holds it:
    // a running code takes its frame with a pointer and gives it back by putting it back.
    PendingCall* pendingNext_ = nullptr;
    PendingCall* pendingLimit_ = nullptr;
    // The frame for the running code's pending calls, made when first needed.
    [[gnu::always_inline]] PendingCall* TakePendingFrame() {
        PendingCall* frame = pendingNext_;
        // Inside the segment whose end the limit is; anything else (a segment's end, one
        // left for another) finds its segment out of line.
        if (reinterpret_cast<uintptr_t>(pendingLimit_) - reinterpret_cast<uintptr_t>(frame) -
                kPendingFrameBytes >
            kPendingSegmentBytes - kPendingFrameBytes) [[unlikely]]
            frame = PendingSegmentFrame(frame);
        pendingNext_ = frame + kPendingFrameSize;
        return frame;
    }
    // TakePendingFrame's frame when `frame` lies outside the limit's segment: the first of
    // the next segment (made when there is none) at a segment's end.
    [[gnu::noinline]] PendingCall* PendingSegmentFrame(PendingCall* frame);
    // One more segment of pending frames (error 15 when there is no memory).
    void AddPendingSegment();
    // Evaluates "(arguments)" after a call token into the current frame and stores the
    // count; the current token is the one after the call token.
    void EvaluateArguments();
    // The method id of the member token for `record`, cached in the token; error 11.
    uint32_t ResolveMember(const CClassRecord* record);
    // Enters a script call with `locals` (null: a fresh locals object) and `current`
    // as its scopes; its result starts as integer 0. EndCall puts everything back.
    CallRecord* BeginCall(CIBaseObjectVar* locals, CIBaseObjectVar* current);
    void EndCall();
    // BeginCall and EndCall for the script calls of calls.cpp, inlined there.
    [[gnu::always_inline]] inline CallRecord* EnterCall(CIBaseObjectVar* locals,
                                                        CIBaseObjectVar* current);
    [[gnu::always_inline]] inline void LeaveCall();
    // The level's locals object kept empty for the calls that have none of their own,
    // made when first needed.
    inline CIBaseObjectVar* SpareLocals(CallRecord* record);
    // What a call changes and puts back as it ends, and the object it runs on, kept in
    // its level's record.
    inline void SaveCallState(CallRecord* record, CIBaseObjectVar* current);
    // The part of them that a call which keeps its caller's scopes changes.
    inline void SaveCallPlace(CallRecord* record, CIBaseObjectVar* current);
    inline void RestoreCallPlace(const CallRecord* record);
    // The scopes, place and result a call's record saved, put back as the call ends.
    inline void RestoreCallState(const CallRecord* record);
    // The record of nesting level callNesting_, made when the level is reached first.
    [[gnu::noinline]] CallRecord* NewCallRecord();
    // Binds the parameters of a function's header to new variables of `locals`.
    void BindParameters(const BlockRecord* function, CIBaseObjectVar* locals, int32_t count);
    // The binding loop of BindParameters; the current token is the header's "(".
    void BindParameterNames(CIBaseObjectVar* locals, int32_t count);
    // Makes and runs a method on a temporary text object holding `text`.
    void CallTextMethod(const char* text, int borrow);
    // The object of a text, made for one method call and destroyed when the call ends.
    struct TextObject {
        TextObject(CInterpretor& interpreter, const char* text, int borrow);
        ~TextObject();
        TextObject(const TextObject&) = delete;
        TextObject& operator=(const TextObject&) = delete;
        CInterpretor& interpreter;
        CIBaseClassImpl* object;
    };
    // One call of the object's own code ended; a Delete that came meanwhile is done now.
    void FinishCall(CIBaseClassImpl* object);
    CallFrame& Frame() { return *frames_[frameIndex_]; }
    void EnsureFrame(uint32_t index);
    void FreeTempStringsFrom(uint32_t level);

    // ---- Variables and objects (variables.cpp) -------------------------------------
    // Through the token's cache when the scopes and their stamps are those it was
    // filled with.
    CVariable* LookUp(NameToken* token) {
        if (referenceWalk != 0) [[unlikely]]
            return LookUpInScopes(token);
        auto slot = reinterpret_cast<uintptr_t>(token->cache);
        uintptr_t index = slot & ~kNameCacheTag;
        if ((slot & kNameCacheTag) != 0 && index < nameCacheCount_ &&
            reinterpret_cast<const uint8_t*>(token) != declaredName_) {
            NameCacheEntry& entry = nameCache_[index];
            uint64_t epoch = ScopeEpoch();
            if (entry.epoch == epoch && entry.key == token->nameId) return entry.found;
            if (entry.key == token->nameId && entry.localsStamp == locals_->GetShape() &&
                entry.currentStamp == currentObject_->GetStamp() &&
                entry.globalsStamp == GetStamp()) {
                CVariable* variable = entry.frontPosition == 0
                                          ? entry.variable
                                          : locals_->FrontVariable(entry.frontPosition - 1);
                entry.epoch = epoch;
                entry.found = variable;
                return variable;
            }
        }
        return LookUpMissed(token);
    }
    // LookUp when the token's cache does not answer.
    CVariable* LookUpMissed(NameToken* token);
    CVariable* LookUpInScopes(const NameToken* token) const;
    // A called name in This, then in the globals.
    CVariable* FindFunctionInScopes(const NameToken* token) const;
    // The variable a called name holds: This, then the globals.
    CVariable* LookUpFunction(NameToken* token) {
        if (referenceWalk != 0) [[unlikely]]
            return FindFunctionInScopes(token);
        auto slot = reinterpret_cast<uintptr_t>(token->cache);
        uintptr_t index = slot & ~kNameCacheTag;
        if ((slot & kNameCacheTag) != 0 && index < nameCacheCount_) {
            const NameCacheEntry& entry = nameCache_[index];
            if (entry.key == token->nameId && entry.localsStamp == 0 &&
                entry.currentStamp == currentObject_->GetStamp() &&
                entry.globalsStamp == GetStamp())
                return entry.variable;
        }
        return CachedLookUp(token, nullptr);
    }
    // Either lookup (`locals` null: a called name's) through the token's cache.
    CVariable* CachedLookUp(NameToken* token, CIBaseObjectVar* locals);
    // The member of `object` a member token names, through the token's cache.
    CVariable* FindMember(NameToken* token, CIBaseObjectVar* object) {
        if (referenceWalk != 0) [[unlikely]]
            return object->FindVariable(token->nameId);
        auto slot = reinterpret_cast<uintptr_t>(token->cache);
        uintptr_t index = slot & ~kNameCacheTag;
        // A member's entry has no scope stamps, so it never answers for a plain name.
        if ((slot & kNameCacheTag) != 0 && index < nameCacheCount_) {
            const NameCacheEntry& entry = nameCache_[index];
            if (entry.key == token->nameId && entry.localsStamp == object->GetStamp() &&
                entry.currentStamp == 0)
                return entry.variable;
        }
        return FindMemberMissed(token, object);
    }
    // FindMember when the token's cache does not answer.
    CVariable* FindMemberMissed(NameToken* token, CIBaseObjectVar* object);
    void EvalIdentifier();
    void EvalArrayElement();
    void EvalThis();
    void EvalVar();
    void NewObject();
    // An element of a member array (the current token is the member token); kept out
    // of EvalMemberChain, whose frame is on the path of every method call.
    [[gnu::noinline]] void MemberElement(CIBaseObjectVar* object, const NameToken* token);
    // Reads "[i, j, ...]" (the current token is the first index) into `indices`.
    int ReadIndexList(int32_t* indices);
    // A variable's value in the result slot (source = the variable); a method call that
    // follows runs on a text's temporary text object.
    void PushValue(CValue* variable);
    // A variable, array item or member read as an operand: objects go on with their
    // member chain or method call, anything else is pushed.
    void PushVariable(CValue* variable);
    // The member chain after a script object held by `holder`.
    void EvalMemberChain(CIBaseObjectVar* object, CValue* holder);
    // An object read from `holder` (an object value): a script object's member chain, a
    // method call, or the object itself.
    void PushObjectOrCall(CValue* holder);
    // The element of the array held by `arrayVariable` at the indices.
    void ElementOperand(CValue* arrayVariable, const int32_t* indices, int count);
    // An assignment to a placeholder of an array not yet made: a new variable of `owner`
    // at `level` becomes an array holding the right value at the placeholder's indices.
    void AssignToNewArray(CIBaseObjectVar* owner, int32_t level, const NameToken* token);
    // Steps over an index list up to and including its "]".
    void SkipIndexList();
    // Marks (2) the object and, through the dependent classes, every object that
    // dropped a reference to a marked one; 1 when any besides the object was marked.
    // The values holding a marked object read as integer 0 from then on.
    int MarkReferencers(CIBaseClassImpl* object);
    // Destroys the object, or only detaches it while its own code runs.
    void DestroyObject(CIBaseClassImpl* object);
    // Clears the main-window and current-window fields that name `object`.
    void ForgetWindowObject(const CIBaseClassImpl* object);
    // A new script object (class 0, listed) with one use held by its maker.
    CIBaseObjectVar* NewScriptObject();
    // The object New makes, held until the result slot takes it: an error on the way
    // leaves it to the collection (or, when it never came alive, destroys it).
    struct NewObjectHold {
        CInterpretor& interpreter;
        CIBaseClassImpl* object = nullptr;
        ~NewObjectHold();
    };
    // New of class `classId`, its arguments read: the object made, created and in the
    // current place.
    void NewClassObject(uint32_t classId);

    // ---- Events (events.cpp) -------------------------------------------------------
    uint32_t QueueEvent(const BlockRecord* handler, CIBaseClassImpl* source,
                        const CValue* const* arguments, bool coalesce);
    void FreeEventRecord(CScriptEvent* record);
    void ClearEvents();

    // ---- Run state (interpretor.cpp) -----------------------------------------------
    void MakeSingletons();
    void CopyEntrySettings();
    // One run of `report` from `start`, without the restart.
    int RunOnce(CTokenInfos& report, uint8_t* start);
    // Compiles the project's modules (or, with a restart file name, that file) into
    // `report`. 1, or 0 with the error in the report.
    int CompileSources(CTokenInfos& report, HWND parentWindow, int withInitialSource);
    int CompileRestartFile(CTokenInfos& report);
    // The compiler's final pass over what was loaded into `report`; 1, or 0 with the
    // error in the report.
    int LinkLoaded(CTokenInfos& report);
    void FreeStartUp();

    // Display interface.
    int LoadDisplayBackEnd(int32_t interface);
    void UnloadDisplayBackEnds();
    CIDisplayList* displayLists_[kDisplayBackEnds] = {};
    int32_t displayInterface_ = -1;
    int32_t displayDevice_ = -1;
    int32_t displayDriver_ = -1;
    CDisplayAPI* displayAPI_ = nullptr;
    CDisplayAPI* softwareAPI_ = nullptr;

    // Polygon-change batches: records {object, geometry, box}.
    struct DeferredPolygonChange {
        CPolygonChangeTarget* object;
        int geometry;
        int box;
    };
    int32_t polygonBatchDepth_ = 0;
    DeferredPolygonChange* deferred_ = nullptr;
    uint32_t deferredCount_ = 0;
    uint32_t deferredCapacity_ = 0;

    HWND mciNotifyWindow_ = 0;
    CIError* keptError_ = nullptr;
    void FreeValueStack();
    void FreeFrames();
    void DestroyAllArrays();
    void DeleteTemporaryFiles();

    CTokenCompiler* compiler_ = nullptr;
    CClassRecord classRecords_[kClassSlotCount];
    CIBaseClassImpl* singletons_[kClassSlotCount] = {};
    CIProgram* program_ = nullptr;

    // Value stack and operator stack, sharing one depth.
    StackSlot** slots_ = nullptr;
    uint32_t* operators_ = nullptr;
    uint32_t stackCapacity_ = 0;
    uint32_t depth_ = 0;

    // Call frames, made on demand.
    CallFrame** frames_ = nullptr;
    uint32_t frameCount_ = 0;
    uint32_t frameIndex_ = 0;
    CValue defaultArg_;
    uint16_t currentMethodId_ = 0;

    // The scopes of the running code.
    CIBaseObjectVar* locals_;
    CIBaseObjectVar* currentObject_;
    // The token after the last Var: a local is made for it even when a member or
    // global of that name exists.
    const uint8_t* declaredName_ = nullptr;
    // What a name token found while the scopes had these stamps: the locals' shape (0 for
    // a called name), This and the globals; for a member token, the object's stamp and two
    // zeros. A variable found in the front of shaped locals is kept by position, so that
    // other locals of the same shape (the next level of a recursion) find theirs.
    // The token's cache slot holds kNameCacheTag with the entry's index. An entry answers
    // only for its name and stamps, so a slot left from another run, or an entry taken
    // over by another token, can at worst miss.
    struct NameCacheEntry {
        uint64_t localsStamp;
        uint64_t currentStamp;
        uint64_t globalsStamp;
        CVariable* variable;
        uint32_t key;
        // 1 + the locals' front position of the variable; 0: `variable` answers.
        uint32_t frontPosition = 0;
        // What a plain lookup found through this entry at scope epoch `epoch` (0: none):
        // the same until anything changes any scope.
        uint64_t epoch = 0;
        CVariable* found = nullptr;
    };
    static constexpr uintptr_t kNameCacheTag = uintptr_t(1) << 63;
    NameCacheEntry* nameCache_ = nullptr;
    uint32_t nameCacheCount_ = 0;
    uint32_t nameCacheCapacity_ = 0;
    static constexpr uintptr_t kNoEntry = ~uintptr_t(0);
    static constexpr uint32_t kMaxNameCacheEntries = 1u << 16;
    // Stores `entry` at `index`, or (kNoEntry) at a new index given to the token.
    void Remember(NameToken* token, uintptr_t index, const NameCacheEntry& entry);
    // Forgets every entry (a new run, new scopes).
    void ClearNameCache();
    // Block stack: loops, blocks, switches and the frames of calls and handlers.
    const BlockRecord** blocks_ = nullptr;
    int32_t blockDepth_ = 0;
    uint32_t blockCapacity_ = 0;
    int32_t returnFlag_ = 0;
    CValue* returnValue_ = nullptr;
    uint32_t callNesting_ = 0;
    // Where the stack stood when the run began; 0 outside a run.
    uintptr_t stackBase_ = 0;
    // The deepest the stack may reach within its budget, which every call checks: 0
    // outside a run.
    uintptr_t stackFloor_ = 0;
    // The chain of live interpreters from the newest, and the innermost one running.
    static inline thread_local CInterpretor* newest_ = nullptr;
    static inline thread_local CInterpretor* running_ = nullptr;
    CInterpretor* older_ = nullptr;
    // One record per nesting level of script calls, made on demand.
    CallRecord** callRecords_ = nullptr;
    uint32_t callRecordCount_ = 0;

    // Statement loop. While an event or an end code waits, the counter reads 0, so that the
    // test at every statement end reads one word for them and the count; the count is held
    // aside meanwhile, and the full end that finds it held takes it back.
    int32_t statementCounter_ = 0;
    int32_t heldCount_ = 0;
    bool countHeld_ = false;
    void HoldStatementCount() {
        if (countHeld_) return;
        countHeld_ = true;
        heldCount_ = statementCounter_;
        statementCounter_ = 0;
    }
    void TakeBackStatementCount() {
        if (!countHeld_) return;
        countHeld_ = false;
        statementCounter_ = heldCount_;
    }
    // Counts the end of a statement whose event, if any, has been dispatched: true when
    // the housekeeping check is due.
    bool CountStatementEnd() {
        TakeBackStatementCount();
        const bool due = --statementCounter_ < 0;
        if (due) statementCounter_ = statementsPerCheck;
        // An event that could not run here (inside a handler, or with events off) waits on;
        // so does the end code until this end raises it.
        if (pendingEvent_ != 0 || pendingEndCode >= 0) HoldStatementCount();
        return due;
    }
    // Temporary text pool; each statement loop flushes what was asked for inside it.
    char** temporaryTexts_ = nullptr;
    uint32_t temporaryTextCount_ = 0;
    uint32_t temporaryTextCapacity_ = 0;
    // The arrays that boxed elements, with the pool position of each box, oldest first.
    struct ElementBoxNote {
        uint32_t handle;
        uint32_t position;
    };
    // Doubles the pool's room; false when memory runs out.
    bool GrowTemporaryPool();
    // Puts the boxes made after `mark` back into their cells.
    void SettleElementBoxesFrom(uint32_t mark);
    static constexpr uint32_t kBoxesBeforeSettling = 1024;
    uint32_t boxesSinceSettling_ = 0;
    ElementBoxNote* elementBoxNotes_ = nullptr;
    uint32_t elementBoxNoteCount_ = 0;
    uint32_t elementBoxNoteCapacity_ = 0;
    // Temporary strings, each with the guarded-call level that parked it.
    char* tempStrings_[kTemporaryStrings] = {};
    uint32_t tempStringLevels_[kTemporaryStrings] = {};
    uint32_t guardedCallLevel_ = 0;
    // Where the walk goes on when the method of the innermost guarded call fails: right
    // behind its call, or behind the tokens the method read itself. Null while the method
    // evaluates script code of the statement, whose errors are then the script's own.
    uint8_t* methodResume_ = nullptr;

    // Events.
    CHandleList eventQueue_;
    uint64_t takenEvents_ = 0;
    uint32_t pendingEvent_ = 0;
    int32_t handlerDepth_ = 0;

    // ---- Run loop (run_loop.cpp) ---------------------------------------------------
    static constexpr std::atomic<uint32_t> kNeverStop{0};
    CLaunchInfo* launchInfo_ = nullptr;
    // The launch block's stop request, or a flag that is never set: kept apart, as every
    // compiled call reads it.
    const std::atomic<uint32_t>* stopRequest_ = &kNeverStop;
    const std::atomic<uint32_t>& StopRequestFlag() const { return *stopRequest_; }
    // Offers a taken message to the filters, then translates and dispatches it unless a
    // filter swallowed it.
    void HandleMessage(MSG& message);
    // The pollers of the subsystems that wait on outside events.
    void PollNeighbours();
    // Sleeps until a window message comes, the network has traffic for its poll or
    // `milliseconds` pass; `networkMilliseconds` instead bounds a sleep that the network's
    // traffic wakes (it need not be polled in between).
    void SleepIdle(uint32_t milliseconds, uint32_t networkMilliseconds);
    // Milliseconds until the tick or the refresh pass falls due at `now`, at most `bound`.
    uint32_t UntilTickOrRefresh(uint32_t now, uint32_t bound) const;
    // The tick and the refresh pass when they are due at `now`.
    void TickIfDue(uint32_t now);
    void RefreshIfDue(uint32_t now);
    // Whether the tick, the refresh or the message pump is due at `later` or before.
    bool TimedWorkMayBeDue(uint32_t later) const;
    // Whether the tick, the refresh or the message pump may be due now. Reads the clock
    // only once the alarm has rung, and then sets it again if nothing is due.
    bool TimedWorkDue();
    // Sets the alarm for the earliest moment the tick, the refresh or the pump can be due.
    void ArmClockAlarm();
    // Rings when timed work may have come due; sound whatever moment it was set for, as
    // its moment only bounds the clock.
    platform::ClockAlarm clockAlarm_;
    CIBaseMessages* filters_[kMaxMessageFilters] = {};
    uint32_t filterCount_ = 0;
    CHandleList movingLocations_;
    CHandleList movements_;
    CHandleList animated_;

    char** temporaryFiles_ = nullptr;
    uint32_t temporaryFileCount_ = 0;

    // Arrays waiting to be destroyed, linked through CScriptArray::nextToDestroy.
    CScriptArray* arraysToDestroy_ = nullptr;
    int destroyingArrays_ = 0;
};

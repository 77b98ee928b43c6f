// Loading the project's modules into a run, and the restart loop.
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/runtime/launch_info.h"

namespace {

// Unit flags of the modules: the first is framed so that reaching its end ends the
// program; the initial source text is compiled before it.
constexpr uint32_t kFirstModuleFlags = kUnitFramed | kUnitOwnsText;
constexpr uint32_t kLaterModuleFlags = kUnitOwnsText;
constexpr uint32_t kInitialSourceFlags = kUnitInitSource | kUnitOwnsText;

bool SkipsExtraEntries(const CLaunchInfo* launch) {
    return launch != nullptr && launch->notifyOnEnd != 0 && launch->hosted == 0;
}

// Adds every module of the entry's source bank to `report`.
void AddModules(CTokenInfos& report, CBank& bank, uint32_t entryIndex, bool& first) {
    for (uint32_t i = 0; i < bank.GetElementCount(); ++i) {
        if (!bank.LoadElementData(int32_t(i), 0)) {
            // A hole holds no module. A module that cannot be read fails the load: left
            // out, it would leave another program to run (a later module first).
            if (bank.GetElement(int32_t(i)) == nullptr) continue;
            CInterpretor::RaiseErrorOn(nullptr, GetLastBankCode() == kResultOutOfMemory ? 15 : 17);
        }
        auto* element = static_cast<CBinaryElement*>(bank.GetElement(int32_t(i)));
        uint32_t length = element->GetFullName(nullptr, 0);
        char* name = nullptr;
        if (!MemAlloc(size_t(length) + 1, &name)) {
            bank.ReleaseElementData(int32_t(i));
            CInterpretor::RaiseErrorOn(nullptr, 15);
        }
        element->GetFullName(name, length + 1);
        try {
            report.AddSourceText(reinterpret_cast<const char*>(element->GetData()),
                                 element->GetSize(), first ? kFirstModuleFlags : kLaterModuleFlags,
                                 name, entryIndex);
        } catch (CIError*) {
            MemFree(&name);
            bank.ReleaseElementData(int32_t(i));
            throw;
        }
        first = false;
        MemFree(&name);
        bank.ReleaseElementData(int32_t(i));
    }
}

} // namespace

int CInterpretor::CompileSources(CTokenInfos& report, HWND parentWindow, int withInitialSource) {
    try {
        if (projectFile != nullptr) {
            CProjectEntry* current = projectFile->GetCurrentEntry();
            if (parentWindow == 0 && withInitialSource != 0 && current != nullptr &&
                current->initialSource != nullptr && current->initialSource[0] != 0)
                report.AddSourceText(current->initialSource, current->initialSourceSize,
                                     kInitialSourceFlags, "InitSource", 0);
            bool first = true;
            uint32_t entryIndex = 0;
            for (LListNode* node = projectFile->GetEntries().GetHead(); node != nullptr;
                 node = node->next, ++entryIndex) {
                auto* entry = static_cast<CProjectEntry*>(node->item);
                if (entry->extra != 0 && SkipsExtraEntries(launchInfo_)) continue;
                CBank* sources = projectFile->FindBankInEntry(entry, project_format::kSourceBank);
                if (sources != nullptr) AddModules(report, *sources, entryIndex, first);
            }
        }
    } catch (CIError* error) {
        report.SetPendingError(error);
        runningState = kLoadFailed;
        return 0;
    }
    return LinkLoaded(report);
}

int CInterpretor::LinkLoaded(CTokenInfos& report) {
    if (compiler_ != nullptr && compiler_->Compile(report) != 0) return 1;
    if (report.GetPendingError() == nullptr) report.SetPendingError(new (std::nothrow) CIError(15));
    runningState = kLoadFailed;
    return 0;
}

int CInterpretor::CompileRestartFile(CTokenInfos& report) {
    try {
        report.LoadUnitFromFile(restartFileName);
    } catch (CIError* error) {
        report.SetPendingError(error);
        runningState = kLoadFailed;
        return 0;
    }
    return LinkLoaded(report);
}

int CInterpretor::LoadSources(CTokenInfos& report, int restartedRun, HWND parentWindow,
                              int withInitialSource) {
    if (!CompileSources(report, parentWindow, withInitialSource)) return 0;
    try {
        Start(report);
    } catch (CIError* error) {
        report.SetPendingError(error);
        return 0;
    }
    restarted = restartedRun;
    return RunMain(report, nullptr);
}

int CInterpretor::RunMain(CTokenInfos& report, uint8_t* start) {
    int result = RunOnce(report, start);
    // A restart replaces the program in this loop rather than in a nested call, so that
    // any number of restarts leaves the stack as it was.
    while (result != 0 && lastEndCode == 1 &&
           (restartFileName != nullptr || projectFile != nullptr)) {
        CTokenInfos next;
        // The program starts over from the first entry, as the first run did, whichever
        // entry a module of the ending run made current.
        entryIndex = 0;
        if (projectFile != nullptr) projectFile->SelectEntry(nullptr);
        int compiled =
            restartFileName != nullptr ? CompileRestartFile(next) : CompileSources(next, 0, 1);
        if (compiled) {
            try {
                Start(next);
                restarted = 1;
                result = RunOnce(next, nullptr);
            } catch (CIError* error) {
                next.SetPendingError(error);
                result = 0;
            }
        } else {
            result = 0;
        }
        // The caller's report carries the outcome of the last program run.
        report.TakeOver(next);
    }
    return result;
}

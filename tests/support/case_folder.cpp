#include "support/case_folder.h"

#include <cstdlib>

#include "platform/files/files.h"
#include "platform/registry/registry_test_hooks.h"

namespace test_support {

namespace {

constexpr const char* kNames[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "ZORV_REGISTRY_DIR",
                                  "TMPDIR"};
constexpr const char* kFolders[] = {".config", ".local", ".registry", ".tmp"};

} // namespace

CaseFolder::CaseFolder() {
    GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
    for (size_t i = 0; i < kVariables; ++i) {
        const char* value = std::getenv(kNames[i]);
        if (value != nullptr) saved_[i] = value;
        folder_.WriteFile(std::string(kFolders[i]) + "/.keep", "");
        setenv(kNames[i], folder_.Linux(kFolders[i]).c_str(), 1);
    }
    SetCurrentDirectoryA(folder_.WinPath().c_str());
    platform::test::ForgetRegistry();
}

CaseFolder::~CaseFolder() {
    for (size_t i = 0; i < kVariables; ++i) {
        if (saved_[i])
            setenv(kNames[i], saved_[i]->c_str(), 1);
        else
            unsetenv(kNames[i]);
    }
    SetCurrentDirectoryA(previousDirectory_);
    platform::test::ForgetRegistry();
}

} // namespace test_support

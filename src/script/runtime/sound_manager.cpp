#include <new>

#include "script/runtime/sound_output.h"

namespace {

class CSilentOutput final : public CSoundOutput {
public:
    void StartRun(int32_t) override {}
};

class CSilentManager final : public CSoundManager {
public:
    CSoundOutput* CreateOutput(int32_t, int32_t) override {
        return new (std::nothrow) CSilentOutput;
    }
};

CSilentManager silentManager;
CSoundManager* installedManager = nullptr;

} // namespace

CSoundManager* SoundMgr_Get() {
    return installedManager != nullptr ? installedManager : &silentManager;
}

void SoundMgr_Set(CSoundManager* manager) {
    installedManager = manager;
}

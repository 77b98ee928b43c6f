// The least the interpreter asks of the sound subsystem: a process-wide sound manager
// that makes the interpreter's sound output, told when a run starts and deleted at close.
// Until the sound subsystem installs its manager, a silent one answers.
#pragma once

#include <cstdint>

class CSoundOutput {
public:
    virtual ~CSoundOutput() = default;
    // A run starts (`flags` 0).
    virtual void StartRun(int32_t flags) = 0;
};

class CSoundManager {
public:
    virtual ~CSoundManager() = default;
    // A new sound output owned by the caller (delete it); null when none can be made.
    virtual CSoundOutput* CreateOutput(int32_t a, int32_t b) = 0;
};

// The process-wide sound manager: the installed one, else the silent one.
CSoundManager* SoundMgr_Get();
// Installs `manager` (null: back to the silent one); it must outlive every interpreter.
void SoundMgr_Set(CSoundManager* manager);

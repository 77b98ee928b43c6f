// Sound on the null output under the test clock, frozen at 1000 ms, with everything the
// output plays recorded for the test to read back (platform::test::TakeSoundOutput); the
// clock, the output and ZORV_AUDIO are put back when it goes.
#pragma once

#include <cstdlib>

#include "platform/kernel/test_hooks.h"
#include "platform/sound/sound_test_hooks.h"

namespace test_support {

class RecordedSound {
public:
    RecordedSound() {
        setenv("ZORV_AUDIO", "null", 1);
        platform::test::FreezeClock(1000);
        platform::test::ResetSoundOutput();
        platform::test::RecordSoundOutput(true);
    }
    ~RecordedSound() {
        platform::test::RecordSoundOutput(false);
        platform::test::ResetSoundOutput();
        platform::test::UnfreezeClock();
        unsetenv("ZORV_AUDIO");
    }
    RecordedSound(const RecordedSound&) = delete;
    RecordedSound& operator=(const RecordedSound&) = delete;
};

} // namespace test_support

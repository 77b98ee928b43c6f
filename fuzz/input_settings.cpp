// Settings texts come with projects and from files: any bytes read without harm, and what
// the manager writes of them reads back to the same configuration.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "input/game_input_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GameInputManager manager;
    manager.LoadSettingsMemory(reinterpret_cast<const char*>(data), size);
    std::string written = manager.WriteSettings();
    GameInputManager again;
    if (again.LoadSettingsMemory(written.data(), written.size()) != 1) std::abort();
    if (again.WriteSettings() != written) std::abort();
    return 0;
}

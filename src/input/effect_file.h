// Effect files: an effect described in an INI text (sections "GeneralValues",
// "CustomValues", "Envelope" and "Direction"), made on a force-feedback device.
#pragma once

#include <cstdint>

class InputDevice;

// The longest custom effect a file may describe, in samples.
inline constexpr int64_t kMaxEffectFileSamples = 65536;

// Makes the effect the file at `path` describes on `device`: the new effect's index, or -1
// (nothing made) for a file without a name, of a type the device lacks, with values out
// of their limits, or whose effect the device refuses.
int32_t ReadEffectFile(InputDevice& device, const char* path);

// The category of an effect type by its DirectInput type word (1 common, 2 condition, 3
// constant force, 4 custom force, 5 ramp, 6 periodic), and the category's type name
// ("" for the common one and for none).
int32_t EffectCategoryOf(uint32_t effectType);
const char* EffectCategoryName(int32_t category);

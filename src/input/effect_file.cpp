#include "input/effect_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input/input_device.h"
#include "platform/profile/profile.h"

namespace {

constexpr int32_t kConditionCategory = 2;
constexpr int32_t kConstantCategory = 3;
constexpr int32_t kCustomCategory = 4;
constexpr int32_t kRampCategory = 5;
constexpr int32_t kPeriodicCategory = 6;
// Axis numbers an effect can use: X, Y, the third axis and the two sliders.
constexpr int32_t kAxisNumbers = 5;

std::string ReadText(const char* section, const char* key, const char* path, size_t size) {
    std::vector<char> buffer(size, '\0');
    DWORD length = GetPrivateProfileStringA(section, key, "", buffer.data(), DWORD(size), path);
    return std::string(buffer.data(), length);
}

// As GetPrivateProfileIntA reads: blanks, a sign and decimal digits, wrapping at 32 bits;
// `fallback` for a missing key.
int32_t ReadInt(const char* section, const char* key, int32_t fallback, const char* path) {
    std::string text = ReadText(section, key, path, 64);
    if (text.empty()) return fallback;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + uint32_t(text[i] - '0');
    return int32_t(negative ? 0u - value : value);
}

// A ";"-separated list, each item read as atol reads it; empty items are skipped.
std::vector<int32_t> ReadList(const char* section, const char* key, const char* path) {
    std::string text = ReadText(section, key, path, 1024);
    std::vector<int32_t> values;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            std::string item = text.substr(start, end - start);
            values.push_back(int32_t(std::strtol(item.c_str(), nullptr, 10)));
        }
        start = end + 1;
    }
    return values;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool AxesValid(const std::vector<int32_t>& axes) {
    for (int32_t axis : axes)
        if (uint32_t(axis) >= uint32_t(kAxisNumbers)) return false;
    return true;
}

// The device's axes are the most a list may name.
void Limit(std::vector<int32_t>& list, int32_t axes) {
    if (list.size() > size_t(std::max(axes, 0))) list.resize(size_t(std::max(axes, 0)));
}

struct Block {
    int32_t values[6] = {};
    std::vector<int32_t> samples;
};

// The type-specific values of the category; false when they pass the limits.
bool ReadBlock(int32_t category, const char* path, int32_t axes, Block& block) {
    const char* section = "CustomValues";
    auto read = [&](int slot, const char* key) {
        block.values[slot] = ReadInt(section, key, 0, path);
    };
    switch (category) {
    case kConditionCategory:
        read(0, "lOffset");
        read(1, "lPositiveCoefficient");
        read(2, "lNegativeCoefficient");
        read(3, "dwPositiveSaturation");
        read(4, "dwNegativeSaturation");
        read(5, "lDeadBand");
        return true;
    case kConstantCategory:
        read(0, "lMagnitude");
        return true;
    case kCustomCategory: {
        read(0, "cChannels");
        read(1, "dwSamplePeriod");
        read(2, "cSamples");
        if (block.values[0] < 1 || block.values[0] > axes) return false;
        if (block.values[2] < 0 || block.values[2] > kMaxEffectFileSamples) return false;
        block.samples.resize(size_t(block.values[2]));
        char key[48];
        for (size_t i = 0; i < block.samples.size(); ++i) {
            std::snprintf(key, sizeof key, "rglForceData%zu", i);
            block.samples[i] = ReadInt(section, key, 0, path);
        }
        return true;
    }
    case kRampCategory:
        read(0, "lStart");
        read(1, "lEnd");
        return true;
    case kPeriodicCategory:
        read(0, "dwMagnitude");
        read(1, "lOffset");
        read(2, "dwPhase");
        read(3, "dwPeriod");
        return true;
    default:
        return true;
    }
}

int32_t Create(InputDevice& device, int32_t type, int32_t category, const Block& block) {
    const int32_t* v = block.values;
    switch (category) {
    case kConditionCategory:
        return device.CreateConditionEffect(type, v[0], v[1], v[2], uint32_t(v[3]), uint32_t(v[4]),
                                            v[5]);
    case kConstantCategory:
        return device.CreateConstantForceEffect(type, v[0]);
    case kCustomCategory:
        return device.CreateCustomForceEffect(type, uint32_t(v[0]), uint32_t(v[1]),
                                              uint32_t(block.samples.size()), block.samples.data());
    case kRampCategory:
        return device.CreateRampForceEffect(type, v[0], v[1]);
    case kPeriodicCategory:
        return device.CreatePeriodicEffect(type, uint32_t(v[0]), v[1], uint32_t(v[2]),
                                           uint32_t(v[3]));
    default:
        return device.CreateEffect(type);
    }
}

} // namespace

int32_t EffectCategoryOf(uint32_t effectType) {
    switch (effectType & 0xFF) {
    case 1:
        return kConstantCategory;
    case 2:
        return kRampCategory;
    case 3:
        return kPeriodicCategory;
    case 4:
        return kConditionCategory;
    case 5:
        return kCustomCategory;
    default:
        return 1;
    }
}

const char* EffectCategoryName(int32_t category) {
    switch (category) {
    case kConditionCategory:
        return "Condition";
    case kConstantCategory:
        return "Constant Force";
    case kCustomCategory:
        return "Custom Force";
    case kRampCategory:
        return "RampForce";
    case kPeriodicCategory:
        return "Periodic";
    default:
        return "";
    }
}

int32_t ReadEffectFile(InputDevice& device, const char* path) {
    if (path == nullptr) return -1;
    const char* general = "GeneralValues";
    std::string name = ReadText(general, "EffectName", path, 256);
    if (name.empty()) return -1;
    int32_t type = -1;
    int32_t count = device.GetEffectTypeCount();
    for (int32_t i = 0; i < count && type < 0; ++i) {
        if (SameIgnoringCase(device.GetEffectTypeName(i), name) ||
            SameIgnoringCase(EffectCategoryName(device.GetEffectCategory(i)), name))
            type = i;
    }
    if (type < 0) return -1;
    int32_t category = device.GetEffectCategory(type);
    int32_t axes = device.GetAxisCount();

    // Everything is read and checked before the effect is made, so a bad file makes none.
    Block block;
    if (!ReadBlock(category, path, axes, block)) return -1;
    int32_t duration = ReadInt(general, "Duration", 0, path);
    int32_t gain = ReadInt(general, "Gain", 0, path);
    int32_t samplePeriod = ReadInt(general, "SamplePeriod", 0, path);
    int32_t triggerButton = ReadInt(general, "TriggerButton", -1, path);
    ReadInt(general, "TriggerDelay", 0, path);
    int32_t triggerInterval = ReadInt(general, "TriggerInterval", 0, path);
    std::vector<int32_t> effectAxes = ReadList(general, "Axis", path);
    int32_t attackLevel = ReadInt("Envelope", "AttackLevel", 0, path);
    int32_t attackTime = ReadInt("Envelope", "AttackTime", 0, path);
    int32_t fadeLevel = ReadInt("Envelope", "FadeLevel", 0, path);
    int32_t fadeTime = ReadInt("Envelope", "FadeTime", 0, path);
    std::vector<int32_t> directionAxes = ReadList("Direction", "Axis", path);
    std::vector<int32_t> directions = ReadList("Direction", "AxisRotation", path);
    if (!AxesValid(effectAxes) || !AxesValid(directionAxes)) return -1;
    bool direction = directionAxes.size() == directions.size() && !directions.empty();
    Limit(effectAxes, axes);
    Limit(directionAxes, axes);
    Limit(directions, axes);

    int32_t effect = Create(device, type, category, block);
    if (effect < 0) return -1;
    if (duration != 0) device.SetEffectDuration(effect, uint32_t(duration));
    if (gain != 0) device.SetEffectGain(effect, uint32_t(gain));
    if (samplePeriod != 0) device.SetEffectSamplePeriod(effect, uint32_t(samplePeriod));
    device.SetEffectTriggerButton(effect, triggerButton);
    if (triggerInterval != 0) device.SetEffectTriggerInterval(effect, triggerInterval);
    device.SetEffectAxes(effect, effectAxes.data(), int32_t(effectAxes.size()));
    if (attackLevel != 0 && attackTime != 0 && fadeLevel != 0 && fadeTime != 0)
        device.SetEffectEnvelope(effect, uint32_t(attackLevel), uint32_t(attackTime),
                                 uint32_t(fadeLevel), uint32_t(fadeTime));
    if (direction)
        device.SetEffectDirection(effect, directionAxes.data(), directions.data(),
                                  int32_t(directionAxes.size()));
    return effect;
}

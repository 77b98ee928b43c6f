// The settings text: tab-indented lines of settings (depth 0), their preferred devices and
// players (depth 1), actions (depth 2), device sections (depth 3) and bindings (depth 4).
// Lines may be of any length; a written text reads back to the same configuration.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/file_out_stream.h"
#include "input/control_names.h"
#include "input/game_input_manager.h"

namespace {

constexpr int kDeepest = 4;

bool StartsNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(text[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        unsigned char y = static_cast<unsigned char>(word[i]);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A decimal number as atol reads it, held within the int32 range.
int32_t ReadNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value <= INT32_MAX) value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) value = int64_t(INT32_MAX) + 1;
    value = negative ? -value : value;
    return value > INT32_MAX ? INT32_MAX : int32_t(value);
}

struct DeviceWord {
    const char* word;
    int32_t type;
};

constexpr DeviceWord kDeviceWords[] = {
    {"Joystick", kInputJoystick},
    {"Keyboard", kInputKeyboard},
    {"Mouse", kInputMouse},
    {"Speech", kInputNone},
};

void ReadPreferredDevices(InputSetting& setting, std::string_view rest) {
    size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == '='))
        ++i;
    int32_t types[InputSetting::kPreferenceCount] = {};
    int32_t count = 0;
    while (i < rest.size()) {
        const DeviceWord* found = nullptr;
        for (const DeviceWord& word : kDeviceWords)
            if (StartsNoCase(rest.substr(i), word.word)) found = &word;
        if (found == nullptr) {
            ++i;
            continue;
        }
        i += std::strlen(found->word) + 1;
        if (found->type != kInputNone && count < InputSetting::kPreferenceCount)
            types[count++] = found->type;
    }
    setting.SetPreferredDevices(types, count);
}

// The tokens of a binding line: split at runs of blanks, tabs and "+"; a spoken phrase
// keeps its separators up to its end marker.
std::vector<std::string_view> BindingTokens(std::string_view content) {
    static constexpr std::string_view kSpeechBegin = "SPEECH_BEGIN[";
    static constexpr std::string_view kSpeechEnd = "]SPEECH_END";
    std::vector<std::string_view> tokens;
    size_t i = 0;
    auto separator = [](char c) { return c == ' ' || c == '\t' || c == '+' || c == '\r'; };
    while (i < content.size()) {
        if (separator(content[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        if (content.substr(i).starts_with(kSpeechBegin)) {
            size_t end = content.find(kSpeechEnd, i + kSpeechBegin.size());
            i = end == std::string_view::npos ? content.size() : end + kSpeechEnd.size();
        } else {
            while (i < content.size() && !separator(content[i]))
                ++i;
        }
        tokens.push_back(content.substr(start, i - start));
    }
    return tokens;
}

// The name a token looks up: a spoken phrase is looked up by its words.
std::string_view LookupName(std::string_view token) {
    static constexpr std::string_view kSpeechBegin = "SPEECH_BEGIN[";
    static constexpr std::string_view kSpeechEnd = "]SPEECH_END";
    if (!token.starts_with(kSpeechBegin)) return token;
    token.remove_prefix(kSpeechBegin.size());
    if (token.ends_with(kSpeechEnd)) token.remove_suffix(kSpeechEnd.size());
    return token;
}

class SettingsReader {
public:
    explicit SettingsReader(GameInputManager& manager) : manager_(manager) {}

    // 0 when a depth-1 line is neither keyword.
    int Line(std::string_view line) {
        int depth = 0;
        while (size_t(depth) < line.size() && line[size_t(depth)] == '\t')
            ++depth;
        if (depth > kDeepest) return 1;
        std::string_view content = line.substr(size_t(depth));
        switch (depth) {
        case 0:
            setting_ = manager_.AddSetting(content);
            player_ = nullptr;
            return 1;
        case 1:
            return SettingLine(content);
        case 2:
            if (player_ == nullptr) return 1;
            action_ = std::string(Trim(content));
            hasAction_ = true;
            player_->AddAction(action_);
            sectionType_ = kInputNone;
            hasSection_ = false;
            return 1;
        case 3: {
            std::string_view section = Trim(content);
            hasSection_ = true;
            sectionType_ = kInputNone;
            for (const DeviceWord& word : kDeviceWords)
                if (word.type != kInputNone && StartsNoCase(section, word.word))
                    sectionType_ = word.type;
            return 1;
        }
        default:
            Binding(content);
            return 1;
        }
    }

private:
    int SettingLine(std::string_view content) {
        if (StartsNoCase(content, "PreferredDevices")) {
            if (setting_ != nullptr) ReadPreferredDevices(*setting_, content.substr(16));
            return 1;
        }
        if (!StartsNoCase(content, "Player")) return 0;
        if (setting_ == nullptr) return 1;
        int32_t place = ReadNumber(Trim(content.substr(6)));
        auto player = std::make_unique<InputPlayer>(setting_);
        player_ = player.get();
        hasAction_ = false;
        hasSection_ = false;
        // A player outside the places is read and dropped with its actions.
        if (place < 1 || place > InputSetting::kMaxPlayers)
            dropped_ = std::move(player);
        else
            setting_->SetPlayer(place - 1, std::move(player));
        return 1;
    }

    void Binding(std::string_view content) {
        if (player_ == nullptr || !hasAction_ || !hasSection_ || sectionType_ == kInputNone) return;
        std::vector<std::string_view> tokens = BindingTokens(content);
        if (tokens.empty()) return;
        int32_t type = kInputNone;
        int32_t row = -1;
        uint32_t id = LookupControlName(LookupName(tokens[0]), type, row);
        InputBinding* binding = player_->AddBinding(sectionType_, action_, id, row);
        if (row < 0) binding->unknownName = std::string(tokens[0]);
        for (size_t i = 1; i < tokens.size(); ++i) {
            int32_t conditionType = kInputNone;
            int32_t conditionRow = -1;
            uint32_t conditionId =
                LookupControlName(LookupName(tokens[i]), conditionType, conditionRow);
            binding->AddCondition(conditionType, tokens[i], conditionId, conditionRow);
        }
    }

    GameInputManager& manager_;
    InputSetting* setting_ = nullptr;
    InputPlayer* player_ = nullptr;
    std::unique_ptr<InputPlayer> dropped_;
    std::string action_;
    bool hasAction_ = false;
    bool hasSection_ = false;
    int32_t sectionType_ = kInputNone;
};

const char* DeviceName(int32_t type) {
    switch (type) {
    case kInputMouse:
        return "Mouse";
    case kInputJoystick:
        return "Joystick";
    default:
        return "Keyboard";
    }
}

} // namespace

int GameInputManager::LoadSettingsMemory(const char* data, size_t size) {
    Stop();
    RemoveAllSettings();
    SettingsReader reader(*this);
    std::string_view text(data != nullptr ? data : "", data != nullptr ? size : 0);
    // LF ends a line; the CRs of CR LF and LF CR are taken off both ends of every line.
    for (size_t i = 0; i < text.size();) {
        size_t end = text.find('\n', i);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(i, end - i);
        i = end + 1;
        while (!line.empty() && line.front() == '\r')
            line.remove_prefix(1);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty()) continue;
        if (reader.Line(line) == 0) return 0;
    }
    return 1;
}

int GameInputManager::LoadSettingsFile(const char* path) {
    CFileInStream in;
    if (path == nullptr || in.OpenFile(path) != kResultOk) return 0;
    std::string data(in.GetLength(), '\0');
    if (!data.empty() && in.Read(data.data(), uint32_t(data.size())) != kResultOk) return 0;
    return LoadSettingsMemory(data.data(), data.size());
}

std::string GameInputManager::WriteSettings() const {
    std::string out;
    for (const std::unique_ptr<InputSetting>& setting : settings_) {
        out += setting->name;
        out += "\r\n\tPreferredDevices=";
        for (int32_t i = 0; i < InputSetting::kPreferenceCount; ++i) {
            if (i > 0) out += ';';
            out += DeviceName(setting->preferred[i]);
        }
        out += "\r\n";
        for (size_t place = 0; place < setting->players.size(); ++place) {
            const InputPlayer* player = setting->players[place].get();
            if (player == nullptr) continue;
            out += "\tPlayer " + std::to_string(place + 1) + "\r\n";
            for (const std::unique_ptr<InputAction>& action : player->actions) {
                out += "\t\t" + action->name + "\r\n";
                for (int list = 0; list < 3; ++list) {
                    out += "\t\t\t";
                    out += DeviceName(list + 1);
                    out += "\r\n";
                    for (const InputBinding* binding : action->bindings[list]) {
                        out += "\t\t\t\t";
                        const ControlNameRow* row = ControlNameTable::GetRow(binding->row);
                        out += row != nullptr ? std::string(row->name) : binding->unknownName;
                        for (const InputCondition& condition : binding->conditions)
                            out += "+" + condition.name;
                        out += "\r\n";
                    }
                }
            }
        }
    }
    return out;
}

int GameInputManager::SaveSettingsFile(const char* path) const {
    CFileOutStream out;
    if (path == nullptr || out.Create(path, 4096) != kResultOk) return 0;
    std::string text = WriteSettings();
    if (!text.empty() && out.Write(text.data(), uint32_t(text.size())) != kResultOk) return 0;
    return out.Flush() == kResultOk ? 1 : 0;
}

#include "input/control_names.h"

#include <array>
#include <string>

namespace {

struct KeyName {
    const char* name;
    int32_t vk;
};

// The keys in table order with their virtual-key codes.
constexpr KeyName kKeys[] = {
    {"BACK", 0x08},     {"TAB", 0x09},        {"CLEAR", 0x0C},    {"RETURN", 0x0D},
    {"SHIFT", 0x10},    {"CONTROL", 0x11},    {"MENU", 0x12},     {"LSHIFT", 0xA0},
    {"LCONTROL", 0xA2}, {"LMENU", 0xA4},      {"LWIN", 0x5B},     {"RSHIFT", 0xA1},
    {"RCONTROL", 0xA3}, {"RMENU", 0xA5},      {"RWIN", 0x5C},     {"PAUSE", 0x13},
    {"CAPITAL", 0x14},  {"ESCAPE", 0x1B},     {"CONVERT", 0x1C},  {"NONCONVERT", 0x1D},
    {"ACCEPT", 0x1E},   {"MODECHANGE", 0x1F}, {"SPACE", 0x20},    {"PRIOR", 0x21},
    {"NEXT", 0x22},     {"END", 0x23},        {"HOME", 0x24},     {"LEFT", 0x25},
    {"UP", 0x26},       {"RIGHT", 0x27},      {"DOWN", 0x28},     {"SELECT", 0x29},
    {"PRINT", 0x2A},    {"EXECUTE", 0x2B},    {"SNAPSHOT", 0x2C}, {"INSERT", 0x2D},
    {"DELETE", 0x2E},   {"HELP", 0x2F},       {"0", 0x30},        {"1", 0x31},
    {"2", 0x32},        {"3", 0x33},          {"4", 0x34},        {"5", 0x35},
    {"6", 0x36},        {"7", 0x37},          {"8", 0x38},        {"9", 0x39},
    {"A", 0x41},        {"B", 0x42},          {"C", 0x43},        {"D", 0x44},
    {"E", 0x45},        {"F", 0x46},          {"G", 0x47},        {"H", 0x48},
    {"I", 0x49},        {"J", 0x4A},          {"K", 0x4B},        {"L", 0x4C},
    {"M", 0x4D},        {"N", 0x4E},          {"O", 0x4F},        {"P", 0x50},
    {"Q", 0x51},        {"R", 0x52},          {"S", 0x53},        {"T", 0x54},
    {"U", 0x55},        {"V", 0x56},          {"W", 0x57},        {"X", 0x58},
    {"Y", 0x59},        {"Z", 0x5A},          {"APPS", 0x5D},     {"NUMPAD0", 0x60},
    {"NUMPAD1", 0x61},  {"NUMPAD2", 0x62},    {"NUMPAD3", 0x63},  {"NUMPAD4", 0x64},
    {"NUMPAD5", 0x65},  {"NUMPAD6", 0x66},    {"NUMPAD7", 0x67},  {"NUMPAD8", 0x68},
    {"NUMPAD9", 0x69},  {"MULTIPLY", 0x6A},   {"ADD", 0x6B},      {"SEPARATOR", 0x6C},
    {"SUBTRACT", 0x6D}, {"DECIMAL", 0x6E},    {"DIVIDE", 0x6F},   {"F1", 0x70},
    {"F2", 0x71},       {"F3", 0x72},         {"F4", 0x73},       {"F5", 0x74},
    {"F6", 0x75},       {"F7", 0x76},         {"F8", 0x77},       {"F9", 0x78},
    {"F10", 0x79},      {"F11", 0x7A},        {"F12", 0x7B},      {"F13", 0x7C},
    {"F14", 0x7D},      {"F15", 0x7E},        {"F16", 0x7F},      {"F17", 0x80},
    {"F18", 0x81},      {"F19", 0x82},        {"F20", 0x83},      {"F21", 0x84},
    {"F22", 0x85},      {"F23", 0x86},        {"F24", 0x87},      {"NUMLOCK", 0x90},
    {"SCROLL", 0x91},
};
static_assert(std::size(kKeys) == 117);

constexpr int32_t kJoystickAxisRows = 22;
constexpr int32_t kJoystickButtons = 128;
constexpr int32_t kMouseRows = 10;

const ControlNameRow kJoystickAxes[kJoystickAxisRows] = {
    {2, "JOY_LEFT", 1, 2, 0},        {2, "JOY_TOP", 2, 2, 1},
    {2, "JOY_RIGHT", 3, 3, 0},       {2, "JOY_BOTTOM", 4, 3, 1},
    {2, "JOY_U_AXIS_POS", 5, 3, 2},  {2, "JOY_V_AXIS_POS", 6, 3, 3},
    {2, "JOY_ROT_X_POS", 7, 5, 0},   {2, "JOY_ROT_Y_POS", 8, 5, 1},
    {2, "JOY_ROT_Z_POS", 9, 5, 2},   {2, "JOY_ROT_U_POS", 10, 5, 3},
    {2, "JOY_ROT_V_POS", 11, 5, 4},  {2, "JOY_U_AXIS_NEG", 12, 2, 2},
    {2, "JOY_V_AXIS_NEG", 13, 2, 3}, {2, "JOY_ROT_X_NEG", 14, 4, 0},
    {2, "JOY_ROT_Y_NEG", 15, 4, 1},  {2, "JOY_ROT_Z_NEG", 16, 4, 2},
    {2, "JOY_ROT_U_NEG", 17, 4, 3},  {2, "JOY_ROT_V_NEG", 18, 4, 4},
    {2, "JOY_POV1", 19, 6, 0},       {2, "JOY_POV2", 20, 6, 1},
    {2, "JOY_POV3", 21, 6, 2},       {2, "JOY_POV4", 22, 6, 3},
};

const ControlNameRow kMouse[kMouseRows] = {
    {1, "MOUSE_LEFT", 1, 2, 0},      {1, "MOUSE_TOP", 2, 2, 1},
    {1, "MOUSE_RIGHT", 3, 3, 0},     {1, "MOUSE_BOTTOM", 4, 3, 1},
    {1, "MOUSE_WHEELBACK", 5, 2, 2}, {1, "MOUSE_WHEELFORWARD", 6, 3, 2},
    {1, "MOUSE_BUTTON1", 7, 1, 0},   {1, "MOUSE_BUTTON2", 8, 1, 1},
    {1, "MOUSE_BUTTON3", 9, 1, 2},   {1, "MOUSE_BUTTON4", 10, 1, 3},
};

struct Table {
    std::array<ControlNameRow, ControlNameTable::kRowCount> rows;
    // The generated names the rows point into.
    std::array<std::string, kJoystickButtons + std::size(kKeys)> names;

    Table() {
        size_t row = 0;
        size_t name = 0;
        for (const ControlNameRow& axis : kJoystickAxes)
            rows[row++] = axis;
        for (int32_t n = 1; n <= kJoystickButtons; ++n) {
            names[name] = "JOY_BUTTON" + std::to_string(n);
            rows[row++] = {2, names[name++].c_str(), uint32_t(22 + n), kControlButton, n - 1};
        }
        for (const ControlNameRow& mouse : kMouse)
            rows[row++] = mouse;
        uint32_t id = 1;
        for (const KeyName& key : kKeys) {
            names[name] = std::string("KEY_VK_") + key.name;
            // The Windows keys carry the ids between Z and the Applications key.
            uint32_t keyId = key.vk == 0x5B ? 73 : key.vk == 0x5C ? 74 : id++;
            if (id == 73) id = 75;
            rows[row++] = {3, names[name++].c_str(), keyId, kControlButton, key.vk};
        }
    }
};

const Table& TheTable() {
    static const Table table;
    return table;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

const ControlNameRow* ControlNameTable::GetRow(int32_t row) {
    if (row < 0 || row >= kRowCount) return nullptr;
    return &TheTable().rows[size_t(row)];
}

uint32_t LookupControlName(std::string_view name, int32_t& deviceType, int32_t& row) {
    const Table& table = TheTable();
    for (size_t i = 0; i < table.rows.size(); ++i) {
        if (EqualNoCase(name, table.rows[i].name)) {
            deviceType = table.rows[i].deviceType;
            row = int32_t(i);
            return table.rows[i].controlId;
        }
    }
    row = -1;
    return 0;
}

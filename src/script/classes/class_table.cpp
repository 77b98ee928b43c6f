#include "script/classes/class_table.h"

#include <array>
#include <cstring>

#include "foundation/containers/ptr_array.h"
#include "script/language/token_codes.h"

namespace {

constexpr const char* kBuiltinClassNames[kBuiltinClassCount] = {
    "Interpretor",   "Sprite",      "Math",        "Disk",       "Keyboard",      "Printer",
    "File",          "Font",        "String",      "Surface",    "PointArray",    "Video",
    "Animation",     "Sound",       "Music",       "Button",     "Edit",          "ComboBox",
    "Selector",      "ListBox",     "RadioButton", "CheckBox",   "QTime",         "CDAudio",
    "Ini",           "Qel",         "QelPlayer",   "QelChannel", "QelUser",       "QelServer",
    "QelConnection", "QelSession",  "QelSocket",   "QelStats",   "ScrollBar",     "MessageBox",
    "Menu",          "Timer",       "GameInput",   "System",     "SharedLibrary", "Binary",
    "Registry",      "ProgressBar", "Slider",      "Spin",       "GroupBox",      "RichEdit",
    "StaticText",    "FFDevice",    "Clipboard",   "MODPlayer",  "Process",       "Voice",
    "Serial",        "TrayIcon",    "Program",     "Display",    "Window",        "Editor",
    "Bank",          "Camera",      "Object",      "Light",      "Position",      "Texture",
    "Zone",          "Speaker",     "Blob",        "World",      "Material",      "Vector",
    "Matrix",        "Quaternion",  "Polygon",     "Point3D",
};

constexpr std::array<MethodNameRow, kBuiltinClassCount> MakeClassRows() {
    std::array<MethodNameRow, kBuiltinClassCount> rows{};
    for (uint32_t i = 0; i < kBuiltinClassCount; ++i)
        rows[i] = {i, kBuiltinClassNames[i], 0, 0};
    return rows;
}

constexpr std::array<MethodNameRow, kBuiltinClassCount> kBuiltinClassRows = MakeClassRows();

// Filled at start-up, before any compile; read-only afterwards.
const MethodNameRow* registeredTables[kBuiltinClassCount];

} // namespace

const char* GetBuiltinClassName(uint32_t classId) {
    return classId < kBuiltinClassCount ? kBuiltinClassNames[classId] : nullptr;
}

const MethodNameRow* GetBuiltinClassRow(uint32_t classId) {
    return classId < kBuiltinClassCount ? &kBuiltinClassRows[classId] : nullptr;
}

int BuildBuiltinClassNameList(PtrArray& list) {
    if (!list.SetSize(kBuiltinClassCount)) return 0;
    for (uint32_t i = 0; i < kBuiltinClassCount; ++i)
        list.SetAt(i, const_cast<char*>(kBuiltinClassNames[i]));
    return 1;
}

int RegisterClassNameTable(const MethodNameRow* table) {
    if (table == nullptr || !IsClassToken(table[0].id) || table[0].name == nullptr) return 0;
    if (std::strcmp(table[0].name, kBuiltinClassNames[table[0].id]) != 0) return 0;
    registeredTables[table[0].id] = table;
    return 1;
}

void UnregisterClassNameTable(uint32_t classId) {
    if (IsClassToken(classId)) registeredTables[classId] = nullptr;
}

const MethodNameRow* GetClassNameTable(uint32_t classId) {
    if (classId == 0) return kInterpretorNameTable;
    return classId < kBuiltinClassCount ? registeredTables[classId] : nullptr;
}

#include "platform/user/window_class.h"

#include <algorithm>
#include <vector>

#include "platform/controls/system_classes.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/user/window_table.h"

namespace {

using platform::WindowClass;

constexpr int kMaxExtraBytes = 4096;

struct ClassList {
    std::vector<std::shared_ptr<const WindowClass>> classes;
    ATOM nextAtom = 0xC000;
};

std::shared_ptr<WindowClass> MakeClass(const WNDCLASSEXA& description) {
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = description.lpszClassName;
    windowClass->style = description.style;
    windowClass->procedure = description.lpfnWndProc;
    windowClass->classExtra = description.cbClsExtra;
    windowClass->windowExtra = description.cbWndExtra;
    windowClass->instance = description.hInstance;
    windowClass->icon = description.hIcon;
    windowClass->smallIcon = description.hIconSm;
    windowClass->cursor = description.hCursor;
    windowClass->background = description.hbrBackground;
    windowClass->hasMenu = description.lpszMenuName != nullptr;
    windowClass->menuIsId = windowClass->hasMenu && platform::IsAtomName(description.lpszMenuName);
    windowClass->menuId =
        windowClass->menuIsId ? reinterpret_cast<uintptr_t>(description.lpszMenuName) : 0;
    if (windowClass->hasMenu && !windowClass->menuIsId)
        windowClass->menuName = description.lpszMenuName;
    return windowClass;
}

ClassList& Classes() {
    // The controls' classes are there from the start, as nothing registers them.
    static auto* classes = [] {
        auto* list = new ClassList;
        for (const WNDCLASSA& system : platform::SystemWindowClasses()) {
            WNDCLASSEXA description{sizeof(WNDCLASSEXA),
                                    system.style,
                                    system.lpfnWndProc,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    nullptr,
                                    system.lpszClassName,
                                    0};
            std::shared_ptr<WindowClass> windowClass = MakeClass(description);
            windowClass->atom = list->nextAtom++;
            list->classes.push_back(windowClass);
        }
        return list;
    }();
    return *classes;
}

bool Matches(const WindowClass& windowClass, LPCSTR name) {
    if (platform::IsAtomName(name))
        return windowClass.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    return platform::Cp1252EqualNoCase(windowClass.name, name);
}

auto FindLocked(LPCSTR name) {
    auto& classes = Classes().classes;
    return std::find_if(classes.begin(), classes.end(),
                        [name](const auto& entry) { return Matches(*entry, name); });
}

ATOM Register(const WNDCLASSEXA& description) {
    if (!description.lpfnWndProc || description.lpszClassName == nullptr ||
        description.cbClsExtra < 0 || description.cbWndExtra < 0 ||
        description.cbClsExtra > kMaxExtraBytes || description.cbWndExtra > kMaxExtraBytes ||
        platform::IsAtomName(description.lpszClassName) || *description.lpszClassName == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::shared_ptr<WindowClass> windowClass = MakeClass(description);

    std::lock_guard lock(platform::WindowLock());
    ClassList& list = Classes();
    if (FindLocked(description.lpszClassName) != list.classes.end()) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    if (list.nextAtom == 0) { // every class atom was handed out once
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    windowClass->atom = list.nextAtom++;
    list.classes.push_back(windowClass);
    return windowClass->atom;
}

// Fills the description; false with ERROR_CLASS_DOES_NOT_EXIST for an unknown class.
bool Describe(LPCSTR className, WNDCLASSEXA& description, ATOM& atom) {
    std::lock_guard lock(platform::WindowLock());
    auto found = FindLocked(className);
    if (className == nullptr || found == Classes().classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return false;
    }
    const WindowClass& windowClass = **found;
    description.style = windowClass.style;
    description.lpfnWndProc = windowClass.procedure;
    description.cbClsExtra = windowClass.classExtra;
    description.cbWndExtra = windowClass.windowExtra;
    description.hInstance = windowClass.instance;
    description.hIcon = windowClass.icon;
    description.hIconSm = windowClass.smallIcon;
    description.hCursor = windowClass.cursor;
    description.hbrBackground = windowClass.background;
    description.lpszMenuName = !windowClass.hasMenu   ? nullptr
                               : windowClass.menuIsId ? reinterpret_cast<LPCSTR>(windowClass.menuId)
                                                      : windowClass.menuName.c_str();
    description.lpszClassName = className;
    atom = windowClass.atom;
    return true;
}

} // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA description{
        sizeof(WNDCLASSEXA),       windowClass->style,         windowClass->lpfnWndProc,
        windowClass->cbClsExtra,   windowClass->cbWndExtra,    windowClass->hInstance,
        windowClass->hIcon,        windowClass->hCursor,       windowClass->hbrBackground,
        windowClass->lpszMenuName, windowClass->lpszClassName, 0};
    return Register(description);
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(*windowClass);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    std::lock_guard lock(platform::WindowLock());
    auto& classes = Classes().classes;
    auto found = FindLocked(className);
    if (className == nullptr || found == classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (const platform::WindowPtr& window : platform::AllWindowsLocked()) {
        if (window->windowClass == *found) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    }
    classes.erase(found);
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* windowClass) {
    if (windowClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WNDCLASSEXA description{};
    ATOM atom = 0;
    if (!Describe(className, description, atom)) return FALSE;
    *windowClass =
        WNDCLASSA{description.style,        description.lpfnWndProc,   description.cbClsExtra,
                  description.cbWndExtra,   description.hInstance,     description.hIcon,
                  description.hCursor,      description.hbrBackground, description.lpszMenuName,
                  description.lpszClassName};
    return TRUE;
}

ATOM GetClassInfoExA(HINSTANCE, LPCSTR className, WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = 0;
    return Describe(className, *windowClass, atom) ? atom : 0;
}

namespace platform {

std::shared_ptr<const WindowClass> FindWindowClassLocked(LPCSTR className) {
    auto found = className == nullptr ? Classes().classes.end() : FindLocked(className);
    if (found == Classes().classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    return *found;
}

} // namespace platform

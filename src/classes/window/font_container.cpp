#include "classes/window/font_container.h"

#include <algorithm>
#include <new>
#include <vector>

#include "classes/window/font_class.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/text/text_out.h"
#include "script/interpreter/interpretor.h"

namespace {

// One interpreter's containers and shared Fonts.
struct FontRegistry {
    CInterpretor* interpreter = nullptr;
    std::vector<CIFontContainer*> containers;
    CIFont* defaultFont = nullptr;
    CIFont* guiFont = nullptr;
};

std::vector<FontRegistry>& Registries() {
    static std::vector<FontRegistry> registries;
    return registries;
}

FontRegistry* FindRegistry(CInterpretor* interpreter) {
    for (FontRegistry& registry : Registries()) {
        if (registry.interpreter == interpreter) return &registry;
    }
    return nullptr;
}

FontRegistry& RegistryOf(CInterpretor* interpreter) {
    if (FontRegistry* registry = FindRegistry(interpreter)) return *registry;
    Registries().push_back(FontRegistry{interpreter, {}, nullptr, nullptr});
    return Registries().back();
}

// A registry with neither containers nor Fonts left is forgotten.
void ForgetIfEmpty(CInterpretor* interpreter) {
    auto& registries = Registries();
    registries.erase(std::remove_if(registries.begin(), registries.end(),
                                    [interpreter](const FontRegistry& registry) {
                                        return registry.interpreter == interpreter &&
                                               registry.containers.empty() &&
                                               registry.defaultFont == nullptr &&
                                               registry.guiFont == nullptr;
                                    }),
                     registries.end());
}

CIFont* NewSharedFont(CInterpretor* interpreter) {
    auto* font =
        new (std::nothrow) CIFont(interpreter, interpreter->GetClassRecord(CIFont::kClassId));
    if (font == nullptr) return nullptr;
    // The registry's own use: no collection takes it while the run lasts.
    font->useCount = 1;
    return font;
}

bool Resetting(CInterpretor* interpreter) {
    return interpreter == nullptr || interpreter->resetting != 0 || interpreter->shuttingDown != 0;
}

int32_t Scale(int32_t value, int32_t dpi) {
    int64_t product = int64_t(value) * dpi;
    return int32_t((product >= 0 ? product + 36 : product - 36) / 72);
}

} // namespace

CIFont* GetDefaultFont(CInterpretor* interpreter) {
    if (Resetting(interpreter)) return nullptr;
    FontRegistry& registry = RegistryOf(interpreter);
    if (registry.defaultFont == nullptr) {
        CIFont* font = NewSharedFont(interpreter);
        if (font == nullptr) return nullptr;
        font->Register();
        FindRegistry(interpreter)->defaultFont = font;
    }
    return FindRegistry(interpreter)->defaultFont;
}

CIFont* GetGuiFont(CInterpretor* interpreter) {
    if (Resetting(interpreter)) return nullptr;
    FontRegistry& registry = RegistryOf(interpreter);
    if (registry.guiFont == nullptr) {
        CIFont* font = NewSharedFont(interpreter);
        if (font == nullptr) return nullptr;
        font->WrapStockFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        FindRegistry(interpreter)->guiFont = font;
    }
    return FindRegistry(interpreter)->guiFont;
}

void ReleaseFontFromContainers(CIFont* font) {
    CInterpretor* interpreter = font->interpreter;
    FontRegistry* registry = FindRegistry(interpreter);
    if (registry == nullptr) return;
    if (registry->defaultFont == font) registry->defaultFont = nullptr;
    if (registry->guiFont == font) registry->guiFont = nullptr;
    // The containers switch one by one: a window's WM_SETFONT may make or end others.
    std::vector<CIFontContainer*> holders;
    for (CIFontContainer* container : registry->containers) {
        if (container->font == font) holders.push_back(container);
    }
    for (CIFontContainer* holder : holders) {
        registry = FindRegistry(interpreter);
        if (registry == nullptr ||
            std::find(registry->containers.begin(), registry->containers.end(), holder) ==
                registry->containers.end() ||
            holder->font != font)
            continue;
        // The dying Font's uses are its own business now.
        holder->font = nullptr;
        CIFont* replacement = GetDefaultFont(interpreter);
        if (replacement != nullptr) holder->SetFont(replacement);
    }
    ForgetIfEmpty(interpreter);
}

CIFontContainer::CIFontContainer(CInterpretor* interpreter) : fontInterpreter(interpreter) {
    RegistryOf(interpreter).containers.push_back(this);
    if (CIFont* initial = GetDefaultFont(interpreter)) {
        font = initial;
        ++font->useCount;
    }
}

CIFontContainer::~CIFontContainer() {
    if (font != nullptr) --font->useCount;
    font = nullptr;
    if (FontRegistry* registry = FindRegistry(fontInterpreter)) {
        auto& list = registry->containers;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        ForgetIfEmpty(fontInterpreter);
    }
}

void CIFontContainer::SetFont(CIFont* newFont) {
    if (newFont != nullptr) ++newFont->useCount;
    if (font != nullptr) --font->useCount;
    font = newFont;
}

void CIFontContainer::MeasureText(HDC dc, const char* text, SIZE& size) {
    size.cx = 0;
    size.cy = 0;
    if (dc == 0 || text == nullptr || font == nullptr) return;
    HGDIOBJ old = SelectObject(dc, font->hFont);
    SIZE measured{};
    GetTextExtentPoint32A(dc, text, int(std::char_traits<char>::length(text)), &measured);
    SelectObject(dc, old);
    size.cx = Scale(measured.cx, GetDeviceCaps(dc, LOGPIXELSX));
    size.cy = Scale(measured.cy, GetDeviceCaps(dc, LOGPIXELSY));
}

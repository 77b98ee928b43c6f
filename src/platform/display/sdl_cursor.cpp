#include "platform/display/sdl_cursor.h"

#include "platform/display/sdl_errors.h"
#include "platform/gdi/icons/icons.h"
#include "platform/user/input/cursor.h"

namespace platform {
namespace {

uint32_t ShapeNumber(LPCSTR id) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(id));
}

SDL_SystemCursor SystemCursorOf(uint32_t shape) {
    struct Mapping {
        LPCSTR id;
        SDL_SystemCursor cursor;
    };
    static const Mapping kMappings[] = {
        {IDC_IBEAM, SDL_SYSTEM_CURSOR_IBEAM},       {IDC_WAIT, SDL_SYSTEM_CURSOR_WAIT},
        {IDC_CROSS, SDL_SYSTEM_CURSOR_CROSSHAIR},   {IDC_SIZE, SDL_SYSTEM_CURSOR_SIZEALL},
        {IDC_SIZEALL, SDL_SYSTEM_CURSOR_SIZEALL},   {IDC_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENWSE},
        {IDC_SIZENESW, SDL_SYSTEM_CURSOR_SIZENESW}, {IDC_SIZEWE, SDL_SYSTEM_CURSOR_SIZEWE},
        {IDC_SIZENS, SDL_SYSTEM_CURSOR_SIZENS},     {IDC_NO, SDL_SYSTEM_CURSOR_NO},
        {IDC_HAND, SDL_SYSTEM_CURSOR_HAND},         {IDC_APPSTARTING, SDL_SYSTEM_CURSOR_WAITARROW},
    };
    for (const Mapping& mapping : kMappings)
        if (ShapeNumber(mapping.id) == shape) return mapping.cursor;
    // The arrow, and the shapes SDL has no likeness of (the up arrow, the help arrow).
    return SDL_SYSTEM_CURSOR_ARROW;
}

} // namespace

SdlCursor::~SdlCursor() {
    for (auto& [shape, cursor] : made_)
        SDL_FreeCursor(cursor);
    for (auto& [serial, cursor] : images_)
        SDL_FreeCursor(cursor);
}

SDL_Cursor* SdlCursor::MadeOfImage(const CursorState& state) {
    IconImage image;
    if (state.image != 0 ? !GetIconImage(state.image, image)
                         : !SystemCursorImage(state.shape, image))
        return nullptr;
    auto found = images_.find(image.serial);
    if (found != images_.end()) return found->second;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(image.pixels.data(), image.width, image.height, 32,
                                           image.width * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Cursor* cursor = nullptr;
    if (!surface) {
        ReportSdlError("SDL_CreateRGBSurfaceWithFormatFrom");
    } else {
        cursor = SDL_CreateColorCursor(surface, image.hotspot.x, image.hotspot.y);
        if (!cursor) ReportSdlError("SDL_CreateColorCursor");
        SDL_FreeSurface(surface);
    }
    images_.emplace(image.serial, cursor);
    return cursor;
}

SDL_Cursor* SdlCursor::Made(SDL_SystemCursor shape) {
    auto found = made_.find(shape);
    if (found != made_.end()) return found->second;
    // A shape SDL cannot make is remembered as missing, not asked for again every pump.
    SDL_Cursor* cursor = SDL_CreateSystemCursor(shape);
    if (!cursor) ReportSdlError("SDL_CreateSystemCursor");
    made_.emplace(shape, cursor);
    return cursor;
}

void SdlCursor::Show(const CursorState& state) {
    bool visible = state.visible && (state.shape != 0 || state.image != 0);
    if (visible) {
        SDL_Cursor* cursor = MadeOfImage(state);
        if (!cursor) cursor = Made(SystemCursorOf(state.shape));
        if (cursor && cursor != shown_) {
            SDL_SetCursor(cursor);
            shown_ = cursor;
        }
    }
    if (static_cast<int>(visible) != visible_) {
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
        visible_ = visible;
    }
}

} // namespace platform

#include "classes/window/window_pictures.h"

#include <cstring>

#include "classes/window/window_surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "script/interpreter/interpretor.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_format.h"

SurfaceHandle* PictureFromValue(CInterpretor& interpreter, const CValue& value,
                                SurfaceHandle& holder, int32_t depth) {
    if (value.GetType() == kValueObject) {
        CWindowSurface* surface = AsWindowSurface(value.GetObject());
        return surface != nullptr ? surface->GetSurfaceHandle() : nullptr;
    }
    interpreter.SelectProjectEntry();
    CElement* element = interpreter.GetElementFromValue(value, project_format::kImageBank, 1);
    if (element == nullptr || element->bank == nullptr) return nullptr;
    if (!element->bank->LoadElementData(element->index, 0) ||
        !element->bank->LockElementData(element->index))
        return nullptr;
    cSurface* image = static_cast<CImageElement*>(element)->GetSurface();
    SurfaceHandle* prototype = GetPrototypeForDepth(depth);
    if (image != nullptr && prototype != nullptr) {
        holder.Create(image->GetWidth(), image->GetHeight(), prototype);
        if (holder.IsValid())
            image->BlitTo(holder.GetImpl(), 0, 0, 0, 0, image->GetWidth(), image->GetHeight(), 0, 0,
                          0, 0);
    }
    element->bank->UnlockElementData(element->index);
    return holder.IsValid() ? &holder : nullptr;
}

std::vector<RECT> ShapeRectangles(SurfaceHandle& picture) {
    std::vector<RECT> rectangles;
    int32_t width = picture.GetWidth();
    int32_t height = picture.GetHeight();
    for (int32_t y = 0; y < height; ++y) {
        int32_t x = 0;
        while (x < width) {
            uint32_t colour = 0;
            if (!picture.GetPixel(x, y, &colour) || (colour & 0xFFFFFF) == 0) {
                ++x;
                continue;
            }
            int32_t left = x;
            while (x < width && picture.GetPixel(x, y, &colour) && (colour & 0xFFFFFF) != 0)
                ++x;
            RECT* last = rectangles.empty() ? nullptr : &rectangles.back();
            if (last != nullptr && last->left == left && last->right == x && last->bottom == y)
                last->bottom = y + 1;
            else
                rectangles.push_back(RECT{left, y, x, y + 1});
        }
    }
    return rectangles;
}

HRGN RegionFromRectangles(const std::vector<RECT>& rectangles, int32_t width, int32_t height) {
    size_t bytes = sizeof(RGNDATAHEADER) + rectangles.size() * sizeof(RECT);
    std::vector<char> block(bytes);
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(rectangles.size());
    header.nRgnSize = DWORD(rectangles.size() * sizeof(RECT));
    header.rcBound = RECT{0, 0, width, height};
    std::memcpy(block.data(), &header, sizeof header);
    if (!rectangles.empty())
        std::memcpy(block.data() + sizeof header, rectangles.data(),
                    rectangles.size() * sizeof(RECT));
    HRGN region =
        ExtCreateRegion(nullptr, DWORD(bytes), reinterpret_cast<const RGNDATA*>(block.data()));
    return region != 0 ? region : CreateRectRgn(0, 0, 0, 0);
}

// The clipboard: one store for the whole process, holding one block per format. Text,
// packed bitmaps, WAV images and registered formats are global memory blocks the store
// owns once given; CF_BITMAP is a bitmap handle. CF_DIB and CF_BITMAP are each made from
// the other on demand, so either reads back whichever of the two was put.
//
// With a desktop attached (the SDL display attaches one), CF_TEXT and pictures are also
// shared with other programs: our text goes out as UTF-8 with bare line feeds and our
// picture (CF_DIB or CF_BITMAP) as a PNG file, where the desktop takes pictures; a text or
// picture another program copied replaces the whole store the next time the clipboard is
// looked at. Sounds and registered formats have no counterpart there and stay inside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_WAVE = 12;
// Formats registered by name are numbered from here.
inline constexpr UINT kFirstRegisteredClipboardFormat = 0xC000;

inline constexpr UINT GMEM_DDESHARE = 0x2000;
inline constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// Fails while another thread has the clipboard open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Frees every block; the clipboard must be open.
BOOL EmptyClipboard();
BOOL IsClipboardFormatAvailable(UINT format);
// The store's block (still owned by the store), or 0; the clipboard must be open.
HANDLE GetClipboardData(UINT format);
// The store takes the block, freeing the one it held for the format; the clipboard
// must be open and emptied by this thread. The block, or 0.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The same id for the same name without regard to case; 0 for an empty name.
UINT RegisterClipboardFormatA(LPCSTR name);

namespace platform {

// The other programs' clipboard, as the display back end reaches it, from any thread.
// Texts are UTF-8; pictures go out as PNG files and come in as PNG or BMP files.
class DesktopClipboard {
public:
    virtual ~DesktopClipboard() = default;
    // Offers the text, the picture (when not empty) or both in place of what we offered;
    // a desktop without pictures offers the text alone.
    virtual void Put(const std::optional<std::string>& utf8, const std::vector<uint8_t>& png) = 0;
    // Nothing when the desktop holds no text.
    virtual std::optional<std::string> Text() = 0;
    // Nothing when the desktop holds no picture.
    virtual std::optional<std::vector<uint8_t>> Picture() = 0;
};

// Null detaches; the caller keeps the object alive while attached.
void AttachDesktopClipboard(DesktopClipboard* desktop);

// The bytes of CF_TEXT up to its terminating zero, bounded by the block; nothing when
// the clipboard holds no text.
std::optional<std::string> ReadClipboardText();
// Empties the clipboard and puts `text` as CF_TEXT, whoever has it open.
void WriteClipboardText(const std::string& text);

// The shape of a packed bitmap, after checking that its header, colour table and rows
// lie within the `size` bytes of `block`; false when they do not or the header is not
// one GDI reads. Height is negative for rows top first; the depth is the surface depth
// that holds the pixels unchanged (8 for 1 and 8 bits, 15 and 16 for 5-5-5 and 5-6-5).
bool PackedDibShape(const void* block, size_t size, int32_t& width, int32_t& height,
                    int32_t& depth);

// For tests: empties the store and closes it.
void ResetClipboardForTests();

} // namespace platform

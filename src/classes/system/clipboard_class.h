// The Clipboard class: texts, Surfaces, Sounds and Binaries to and from the clipboard.
// Every block read from the clipboard may come from elsewhere and is read within its size:
// texts stop at the block's end, packed bitmaps are checked before a Surface is made, WAV
// images go through the audio subsystem's bounded reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "script/classes/base_class.h"

class CIClipboard : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 50;

    enum : uint16_t {
        kHasText = 1,
        kHasImage,
        kGetText,
        kGetImage,
        kPutData,
        kHasSound,
        kGetSound,
        kHasBinary,
        kGetBinary,
        kCleanup,
        kMethodCount,
    };

    CIClipboard(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

private:
    void HasText();
    void HasImage();
    void GetText();
    void GetImage();
    void PutData();
    void HasSound();
    void GetSound();
    void HasBinary();
    void GetBinary();
    void Cleanup();

    // The format registered under the name in argument `i`; error 14 when it is no text.
    uint32_t FormatArg(uint32_t i);

    static const ScriptMethod<CIClipboard> kMethods[kMethodCount];
};

// The audio subsystem's side of CF_WAVE. Until it installs them, GetSound gives 0 and no
// object is taken for a Sound.
struct ClipboardSoundHooks {
    // The class id of Sound objects.
    uint32_t soundClassId;
    // The WAV image of the sound, rewound; false when it cannot be made.
    bool (*toWav)(CIBaseClassImpl& sound, std::vector<uint8_t>& wav);
    // A new, registered Sound made from the WAV image, read within its `size` bytes; null
    // when the image is not one.
    CIBaseClassImpl* (*fromWav)(CInterpretor& interpreter, const uint8_t* wav, size_t size);
};
// Null removes them; the hooks must outlive their use.
void SetClipboardSoundHooks(const ClipboardSoundHooks* hooks);

const ScriptClassInfo* GetClipboardClassInfo();

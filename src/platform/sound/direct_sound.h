// DirectSound over our own mixer: the DirectSound object, the primary buffer, secondary
// buffers, the 3D listener and 3D buffers, with Windows' names, method order (of the
// methods the sound layer calls), result codes and flags.
//
// Each secondary buffer is a voice of the mixer owning a ring in its PCM format (8-bit
// unsigned or 16-bit signed, mono or stereo); its play cursor advances at the buffer's
// frequency as the output consumes frames. The output is 44.1 kHz float stereo whatever the
// primary buffer's format says. Buffers are never lost. Only DS3D_IMMEDIATE applies 3D
// values; DS3D_DEFERRED is refused. Every method may be called from any thread.
//
// The output back end comes from ZORV_AUDIO (sound_output.h); without one DirectSoundCreate
// answers DSERR_NODRIVER.
#pragma once

#include "platform/directx/unknown.h"
#include "platform/user/hwnd.h"

namespace platform::dsound {
inline constexpr HRESULT Error(unsigned code) {
    return static_cast<HRESULT>(0x88780000u | code);
}
} // namespace platform::dsound

inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DSERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT DSERR_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT DSERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DSERR_CONTROLUNAVAIL = platform::dsound::Error(30);
inline constexpr HRESULT DSERR_INVALIDCALL = platform::dsound::Error(50);
inline constexpr HRESULT DSERR_BADFORMAT = platform::dsound::Error(100);
inline constexpr HRESULT DSERR_NODRIVER = platform::dsound::Error(120);
inline constexpr HRESULT DSERR_BUFFERLOST = platform::dsound::Error(150);

// SetCooperativeLevel.
inline constexpr DWORD DSSCL_NORMAL = 1;
inline constexpr DWORD DSSCL_PRIORITY = 2;
inline constexpr DWORD DSSCL_EXCLUSIVE = 3;
inline constexpr DWORD DSSCL_WRITEPRIMARY = 4;

// DSBUFFERDESC::dwFlags. Other bits are refused.
inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
inline constexpr DWORD DSBCAPS_STATIC = 0x00000002;
inline constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
inline constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
inline constexpr DWORD DSBCAPS_STICKYFOCUS = 0x00004000;
inline constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
inline constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

// GetStatus. DSBSTATUS_BUFFERLOST is never reported.
inline constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
inline constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
inline constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

inline constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

inline constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
inline constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

// Volumes and pans in hundredths of a decibel; -10000 is silence.
inline constexpr LONG DSBVOLUME_MIN = -10000;
inline constexpr LONG DSBVOLUME_MAX = 0;
inline constexpr LONG DSBPAN_LEFT = -10000;
inline constexpr LONG DSBPAN_CENTER = 0;
inline constexpr LONG DSBPAN_RIGHT = 10000;
inline constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 100000;

// 3D values.
inline constexpr DWORD DS3D_IMMEDIATE = 0;
inline constexpr DWORD DS3D_DEFERRED = 1;
inline constexpr float DS3D_MINDISTANCEFACTOR = 1.175494351e-38f;
inline constexpr float DS3D_MAXDISTANCEFACTOR = 3.402823466e+38f;
inline constexpr float DS3D_DEFAULTDISTANCEFACTOR = 1.0f;
inline constexpr float DS3D_MINROLLOFFFACTOR = 0.0f;
inline constexpr float DS3D_MAXROLLOFFFACTOR = 10.0f;
inline constexpr float DS3D_DEFAULTROLLOFFFACTOR = 1.0f;
inline constexpr float DS3D_MINDOPPLERFACTOR = 0.0f;
inline constexpr float DS3D_MAXDOPPLERFACTOR = 10.0f;
inline constexpr float DS3D_DEFAULTDOPPLERFACTOR = 1.0f;
inline constexpr float DS3D_DEFAULTMINDISTANCE = 1.0f;
inline constexpr float DS3D_DEFAULTMAXDISTANCE = 1e9f;
inline constexpr DWORD DS3D_MINCONEANGLE = 0;
inline constexpr DWORD DS3D_MAXCONEANGLE = 360;
inline constexpr DWORD DS3D_DEFAULTCONEANGLE = 360;
inline constexpr LONG DS3D_DEFAULTCONEOUTSIDEVOLUME = 0;

inline constexpr WORD WAVE_FORMAT_PCM = 1;

// Windows' packing: 18 bytes, every field at its natural alignment.
#pragma pack(push, 2)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

// dwSize is 20 (the 32-bit record the sound layer fills) or sizeof(DSBUFFERDESC).
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
};

using D3DVALUE = float;
struct D3DVECTOR {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
};

inline constexpr IID IID_IDirectSound{
    0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSoundBuffer{
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSound3DListener{
    0x279AFA84, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSound3DBuffer{
    0x279AFA86, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

class IDirectSoundBuffer : public IUnknown {
public:
    // Play and write cursors in bytes; either pointer may be null. Data may be written
    // anywhere except from the play cursor up to the write cursor.
    virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) = 0;
    // The buffer's format (the primary: the last one set), up to `size` bytes.
    virtual HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    // `bytes` from `offset` (or the write cursor, or the whole buffer, by the flags) as one
    // or two regions, the second from the buffer's start when the range wraps; *second is
    // null and *secondBytes 0 otherwise. The bytes reach the voice at Unlock. One lock at a
    // time; the primary cannot be locked.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                         DWORD* secondBytes, DWORD flags) = 0;
    // Reserved and priority must be 0; DSBPLAY_LOOPING repeats the buffer, otherwise a
    // buffer stops at its end with its play cursor back at 0.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    // A byte offset inside the buffer, rounded down to whole frames.
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // The primary accepts any PCM format and keeps the mixer's output; secondaries refuse.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // DSBVOLUME_MIN..DSBVOLUME_MAX; gain 10^(volume / 2000).
    virtual HRESULT SetVolume(LONG volume) = 0;
    // DSBPAN_LEFT..DSBPAN_RIGHT: the other side is attenuated by |pan|.
    virtual HRESULT SetPan(LONG pan) = 0;
    // DSBFREQUENCY_MIN..DSBFREQUENCY_MAX, or DSBFREQUENCY_ORIGINAL for the format's rate.
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    // The pointers and counts Lock gave (counts may be smaller: only they are written).
    virtual HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) = 0;
    // Buffers are never lost: DS_OK.
    virtual HRESULT Restore() = 0;

protected:
    ~IDirectSoundBuffer() = default;
};

// The listener of a DirectSound object, found on its primary buffer. Coordinates are
// left-handed: x right, y up, z forward. Defaults: at the origin, still, facing +z with +y
// up, every factor 1.
class IDirectSound3DListener : public IUnknown {
public:
    virtual HRESULT GetDistanceFactor(D3DVALUE* factor) = 0;
    virtual HRESULT GetDopplerFactor(D3DVALUE* factor) = 0;
    virtual HRESULT GetPosition(D3DVECTOR* position) = 0;
    virtual HRESULT GetRolloffFactor(D3DVALUE* factor) = 0;
    // Metres per unit of distance, for the speeds the Doppler shift uses.
    virtual HRESULT SetDistanceFactor(D3DVALUE factor, DWORD apply) = 0;
    virtual HRESULT SetDopplerFactor(D3DVALUE factor, DWORD apply) = 0;
    virtual HRESULT SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX,
                                   D3DVALUE topY, D3DVALUE topZ, DWORD apply) = 0;
    virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    virtual HRESULT SetRolloffFactor(D3DVALUE factor, DWORD apply) = 0;
    virtual HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;

protected:
    ~IDirectSound3DListener() = default;
};

// The 3D side of a buffer made with DSBCAPS_CTRL3D; a stereo buffer is heard as mono.
class IDirectSound3DBuffer : public IUnknown {
public:
    // Whole cone angles in degrees, 0..360, inside not above outside.
    virtual HRESULT SetConeAngles(DWORD inside, DWORD outside, DWORD apply) = 0;
    virtual HRESULT SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    // DSBVOLUME_MIN..DSBVOLUME_MAX beyond the outside angle.
    virtual HRESULT SetConeOutsideVolume(LONG volume, DWORD apply) = 0;
    virtual HRESULT SetMaxDistance(D3DVALUE distance, DWORD apply) = 0;
    virtual HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) = 0;
    virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    virtual HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;

protected:
    ~IDirectSound3DBuffer() = default;
};

class IDirectSound : public IUnknown {
public:
    // A primary buffer (DSBCAPS_PRIMARYBUFFER, no size, no format; the same object each
    // time) or a secondary of `desc->dwBufferBytes` bytes in a PCM format of 8 or 16 bits,
    // 1 or 2 channels, 100..200000 Hz. No aggregation (`outer` null).
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                      IUnknown* outer) = 0;
    // Accepted for every level; the window is not used.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;

protected:
    ~IDirectSound() = default;
};

// `device` must be null (the default output). DSERR_NODRIVER without an output. When the
// object's last reference goes its buffers fall silent, though they stay valid for their
// holders.
HRESULT DirectSoundCreate(const GUID* device, IDirectSound** sound, IUnknown* outer);

// DirectInput's force-feedback records and the effect interface. Effects play on the
// joystick's force-feedback device (ff_device.h); records keep their documented fields,
// pointers pointer-sized.
#pragma once

#include <cstdint>

#include "platform/directx/unknown.h"

inline constexpr HRESULT DI_DOWNLOADSKIPPED = 3;
inline constexpr HRESULT DI_EFFECTRESTARTED = 4;
inline constexpr HRESULT DI_TRUNCATED = 8;
inline constexpr HRESULT DI_TRUNCATEDANDRESTARTED = 12;
inline constexpr HRESULT DIERR_DEVICEFULL = static_cast<HRESULT>(0x80040201u);
inline constexpr HRESULT DIERR_MOREDATA = static_cast<HRESULT>(0x80040202u);
inline constexpr HRESULT DIERR_NOTDOWNLOADED = static_cast<HRESULT>(0x80040203u);
inline constexpr HRESULT DIERR_INCOMPLETEEFFECT = static_cast<HRESULT>(0x80040206u);
inline constexpr HRESULT DIERR_EFFECTPLAYING = static_cast<HRESULT>(0x80040208u);
inline constexpr HRESULT DIERR_UNPLUGGED = static_cast<HRESULT>(0x80040209u);

// Effect types: the kind in the low byte, what the kind takes in the flags.
inline constexpr DWORD DIEFT_ALL = 0;
inline constexpr DWORD DIEFT_CONSTANTFORCE = 1;
inline constexpr DWORD DIEFT_RAMPFORCE = 2;
inline constexpr DWORD DIEFT_PERIODIC = 3;
inline constexpr DWORD DIEFT_CONDITION = 4;
inline constexpr DWORD DIEFT_CUSTOMFORCE = 5;
inline constexpr DWORD DIEFT_FFATTACK = 0x200;
inline constexpr DWORD DIEFT_FFFADE = 0x400;
inline constexpr DWORD DIEFT_SATURATION = 0x800;
inline constexpr DWORD DIEFT_POSNEGCOEFFICIENTS = 0x1000;
inline constexpr DWORD DIEFT_POSNEGSATURATION = 0x2000;
inline constexpr DWORD DIEFT_DEADBAND = 0x4000;
constexpr DWORD DIEFT_GETTYPE(DWORD type) {
    return type & 0xFF;
}

inline constexpr DWORD DIEFF_OBJECTIDS = 0x01;
inline constexpr DWORD DIEFF_OBJECTOFFSETS = 0x02;
inline constexpr DWORD DIEFF_CARTESIAN = 0x10;
inline constexpr DWORD DIEFF_POLAR = 0x20;
inline constexpr DWORD DIEFF_SPHERICAL = 0x40;

inline constexpr DWORD DIEP_DURATION = 0x1;
inline constexpr DWORD DIEP_SAMPLEPERIOD = 0x2;
inline constexpr DWORD DIEP_GAIN = 0x4;
inline constexpr DWORD DIEP_TRIGGERBUTTON = 0x8;
inline constexpr DWORD DIEP_TRIGGERREPEATINTERVAL = 0x10;
inline constexpr DWORD DIEP_AXES = 0x20;
inline constexpr DWORD DIEP_DIRECTION = 0x40;
inline constexpr DWORD DIEP_ENVELOPE = 0x80;
inline constexpr DWORD DIEP_TYPESPECIFICPARAMS = 0x100;
inline constexpr DWORD DIEP_ALLPARAMS = 0x1FF;
inline constexpr DWORD DIEP_START = 0x20000000;
inline constexpr DWORD DIEP_NORESTART = 0x40000000;
inline constexpr DWORD DIEP_NODOWNLOAD = 0x80000000;

inline constexpr DWORD DIEB_NOTRIGGER = 0xFFFFFFFF;
inline constexpr DWORD DI_FFNOMINALMAX = 10000;
inline constexpr DWORD DI_INFINITE = 0xFFFFFFFF;
// Joystick buttons as effect triggers: their offsets in the extended joystick state.
inline constexpr DWORD kFirstButtonOffset = 0x30;
inline constexpr DWORD kLastButtonOffset = 0xAF;

inline constexpr DWORD DIES_SOLO = 0x1;
inline constexpr DWORD DIES_NODOWNLOAD = 0x80000000;
inline constexpr DWORD DIEGES_PLAYING = 0x1;

inline constexpr DWORD DISFFC_RESET = 0x01;
inline constexpr DWORD DISFFC_STOPALL = 0x02;
inline constexpr DWORD DISFFC_PAUSE = 0x04;
inline constexpr DWORD DISFFC_CONTINUE = 0x08;
inline constexpr DWORD DISFFC_SETACTUATORSON = 0x10;
inline constexpr DWORD DISFFC_SETACTUATORSOFF = 0x20;

struct DIENVELOPE {
    DWORD dwSize;
    DWORD dwAttackLevel;
    DWORD dwAttackTime;
    DWORD dwFadeLevel;
    DWORD dwFadeTime;
};

struct DICONDITION {
    LONG lOffset;
    LONG lPositiveCoefficient;
    LONG lNegativeCoefficient;
    DWORD dwPositiveSaturation;
    DWORD dwNegativeSaturation;
    LONG lDeadBand;
};
static_assert(sizeof(DICONDITION) == 24);

struct DICONSTANTFORCE {
    LONG lMagnitude;
};

struct DICUSTOMFORCE {
    DWORD cChannels;
    DWORD dwSamplePeriod;
    DWORD cSamples;
    LONG* rglForceData;
};

struct DIRAMPFORCE {
    LONG lStart;
    LONG lEnd;
};

struct DIPERIODIC {
    DWORD dwMagnitude;
    LONG lOffset;
    DWORD dwPhase;
    DWORD dwPeriod;
};

struct DIEFFECT {
    DWORD dwSize;
    DWORD dwFlags;
    // Microseconds; DI_INFINITE plays until stopped.
    DWORD dwDuration;
    DWORD dwSamplePeriod;
    DWORD dwGain;
    DWORD dwTriggerButton;
    DWORD dwTriggerRepeatInterval;
    DWORD cAxes;
    DWORD* rgdwAxes;
    LONG* rglDirection;
    DIENVELOPE* lpEnvelope;
    DWORD cbTypeSpecificParams;
    void* lpvTypeSpecificParams;
};

struct DIEFFECTINFOA {
    DWORD dwSize;
    GUID guid;
    DWORD dwEffType;
    DWORD dwStaticParams;
    DWORD dwDynamicParams;
    char tszName[260];
};

// The effect kinds, by identity.
extern const GUID GUID_ConstantForce, GUID_RampForce, GUID_Square, GUID_Sine, GUID_Triangle,
    GUID_SawtoothUp, GUID_SawtoothDown, GUID_Spring, GUID_Damper, GUID_Inertia, GUID_Friction,
    GUID_CustomForce;
extern const IID IID_IDirectInputEffect;

class IDirectInputEffect : public IUnknown {
public:
    virtual HRESULT GetEffectGuid(GUID* guid) = 0;
    // Fills the fields `flags` names. Lists too short for the effect's give
    // DIERR_MOREDATA with the count needed; an effect without envelope clears lpEnvelope.
    virtual HRESULT GetParameters(DIEFFECT* effect, DWORD flags) = 0;
    // Changes the fields `flags` names; unless DIEP_NODOWNLOAD the effect goes to the
    // device at once (restarted when it was playing, started with DIEP_START). Values
    // beyond what the device takes are clipped: DI_TRUNCATED.
    virtual HRESULT SetParameters(const DIEFFECT* effect, DWORD flags) = 0;
    virtual HRESULT Start(DWORD iterations, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetEffectStatus(DWORD* status) = 0;
    virtual HRESULT Download() = 0;
    virtual HRESULT Unload() = 0;

protected:
    ~IDirectInputEffect() = default;
};

using LPDIENUMEFFECTSCALLBACKA = BOOL (*)(const DIEFFECTINFOA* info, void* context);

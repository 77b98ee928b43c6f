// Interface identities and the base of the COM-style interfaces the layer offers. The
// interfaces are our own abstract classes; an object answers QueryInterface for the
// identities it implements, counts its references, and frees itself at its last Release.
#pragma once

#include "platform/kernel/com.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
public:
    // The interface `iid` of the same object, counted, in *object; E_NOINTERFACE (and
    // null) when the object has none such.
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    // Both answer the new count; the object is gone when Release answers 0.
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects end through Release only.
    ~IUnknown() = default;
};

#include "platform/directx/dd_objects.h"
#include "platform/user/windows.h"

namespace platform::ddraw {

HRESULT ClipperObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDirectDrawClipper))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectDrawClipper*>(this);
    return S_OK;
}

ULONG ClipperObject::AddRef() {
    return ++refs_;
}

ULONG ClipperObject::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT ClipperObject::SetHWnd(DWORD flags, HWND handle) {
    if (flags != 0 || (handle != 0 && !IsWindow(handle))) return DDERR_INVALIDPARAMS;
    window = handle;
    return DD_OK;
}

} // namespace platform::ddraw

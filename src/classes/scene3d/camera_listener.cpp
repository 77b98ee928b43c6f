// The Camera's 3D sound listener: one device with a listener, shared by the Speakers that
// hang on the camera and ended with the last of them.
#include <algorithm>

#include "audio/manager/sound_device.h"
#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/speaker_class.h"
#include "classes/surface/surface_class.h"
#include "classes/window/child_window.h"
#include "engine3d/scene/objects/object.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"

bool CICamera::AcquireListener() {
    if (listener == nullptr) {
        CIChildWindow* window = surface != nullptr ? surface->hostWindow : nullptr;
        if (window == nullptr || window->hwnd == 0) return false;
        listener = CISpeaker::SoundServices().createListener(window->hwnd);
        if (listener == nullptr) return false;
        // The listener's velocity counts from the moment it starts hearing.
        lastMoveTime = timeGetTime();
        if (engineObject != nullptr)
            std::copy_n(engineObject->position, 3, lastMovePosition.data());
        listenerVelocity = {};
    }
    ++listenerUsers;
    return true;
}

void CICamera::ReleaseListener() {
    if (listenerUsers > 0) --listenerUsers;
    if (listenerUsers != 0 || listener == nullptr) return;
    SoundDevice* device = listener;
    listener = nullptr;
    CISpeaker::SoundServices().destroyListener(device);
}

void CICamera::AddSpeaker(CISpeaker* speaker) {
    if (std::find(speakers.begin(), speakers.end(), speaker) == speakers.end())
        speakers.push_back(speaker);
}

void CICamera::RemoveSpeaker(CISpeaker* speaker) {
    std::erase(speakers, speaker);
}

SoundDevice* CICamera::ActiveListener() const {
    return listener != nullptr && listener->IsStarted() != 0 ? listener : nullptr;
}

void CICamera::DetachSpeakers() {
    // Each Speaker leaves the list as it lets go; their channels go before the device.
    while (!speakers.empty())
        speakers.back()->LeaveCamera();
    if (listener != nullptr) {
        listenerUsers = 1;
        ReleaseListener();
    }
}

bool CICamera::ReadFactor(float* factor) {
    if (ActiveListener() == nullptr) return false;
    const CValue* value = interpreter->GetArg(0);
    if (value->IsDefault() != 0) {
        *factor = 0.0f;
        return true;
    }
    if (!IsNumber(*value)) interpreter->RaiseError(115);
    *factor = float(value->GetDouble());
    return true;
}

void CICamera::SetSpeakerRollOffFactor() {
    if (float factor = 0; ReadFactor(&factor)) listener->SetRolloffFactor(factor);
}

void CICamera::GetSpeakerRollOffFactor() {
    SoundDevice* device = ActiveListener();
    interpreter->GetResultSlot()->SetFloat(device != nullptr ? device->GetRolloffFactor() : 0.0);
}

void CICamera::SetSpeakerDopplerFactor() {
    if (float factor = 0; ReadFactor(&factor)) listener->SetDopplerFactor(factor);
}

void CICamera::GetSpeakerDopplerFactor() {
    SoundDevice* device = ActiveListener();
    interpreter->GetResultSlot()->SetFloat(device != nullptr ? device->GetDopplerFactor() : 0.0);
}

void CICamera::SetSpeakerDistanceFactor() {
    if (float factor = 0; ReadFactor(&factor)) listener->SetDistanceFactor(factor);
}

void CICamera::GetSpeakerDistanceFactor() {
    SoundDevice* device = ActiveListener();
    interpreter->GetResultSlot()->SetFloat(device != nullptr ? device->GetDistanceFactor() : 0.0);
}

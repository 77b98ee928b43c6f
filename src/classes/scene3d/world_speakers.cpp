// The World's speaker lookup: by Speaker, by name or by index in the engine sound list.
#include "classes/scene3d/world_class.h"

#include "classes/scene3d/location_class.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/zones/sound.h"
#include "platform/kernel/cp1252.h"
#include "script/interpreter/interpretor.h"

void CIWorld::GetSpeaker() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    const LBaseSound& sounds = world_->sounds;
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CILocation::kSpeakerClassId)) {
        // The Speaker itself when it is in this world, as its name finds it from its own
        // place.
        auto* speaker = static_cast<CILocation*>(value->GetObject());
        const bool here = speaker->engineObject != nullptr &&
                          sounds.list.FindNode(speaker->engineObject) != nullptr;
        return SetResultObject(here ? speaker : nullptr);
    }
    if (value->GetType() == kValueString) {
        const char* name = value->GetStringSafe();
        for (LListNode* node = sounds.list.GetHead(); node != nullptr; node = node->next) {
            auto* sound = static_cast<L3DSound*>(node->item);
            char text[256];
            sound->GetName(text, sizeof text);
            if (platform::Cp1252EqualNoCase(text, name)) return SetResultObject(WrapperOf(sound));
        }
        return SetResultObject(nullptr);
    }
    const int32_t index = IndexArg();
    SetResultObject(index >= 0 ? WrapperOf(sounds.GetAt(index)) : nullptr);
}

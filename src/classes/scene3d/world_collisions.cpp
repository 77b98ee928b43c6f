// The World's collision events: OnCollide, posted by the placed objects for each contact,
// and OnCollisions, posted after each frame with the pairs that met during it.
#include <algorithm>
#include <new>

#include "classes/scene3d/world_class.h"
#include "script/interpreter/interpretor.h"

namespace {

// The Worlds whose pair list is not empty: a placed object going is taken off them all.
std::vector<CIWorld*> gWorldsWithPairs;

} // namespace

void CIWorld::RecordCollision(CIBaseClassImpl* first, CIBaseClassImpl* second) {
    if (onCollisions_.GetType() != kValueFunction || first == nullptr || second == nullptr) return;
    if (second->serial < first->serial) std::swap(first, second);
    const auto pair = std::make_pair(first, second);
    if (recordedPairs_.contains(pair)) return;
    if (collisions_.empty()) gWorldsWithPairs.push_back(this);
    collisions_.push_back(pair);
    recordedPairs_.insert(pair);
}

void CIWorld::DeliverCollisions() {
    if (onCollisions_.GetType() != kValueFunction || collisions_.empty()) {
        ClearCollisions();
        return;
    }
    const auto pairs = std::move(collisions_);
    ClearCollisions();
    // After the frame, inside the surface's refresh: a full event queue drops the event.
    try {
        CValue self(this);
        CValue count(interpreter);
        count.SetInt(int32_t(pairs.size()));
        CValue list(interpreter);
        list.MakeArray();
        int32_t index = 0;
        for (const auto& [first, second] : pairs) {
            CValue a(first);
            CValue b(second);
            list.SetArrayItem(index++, &a);
            list.SetArrayItem(index++, &b);
        }
        interpreter->PostEvent(onCollisions_.GetFunction(), &self, &count, &list);
    } catch (CIError* error) {
        delete error;
    } catch (const std::bad_alloc&) {}
}

void CIWorld::ClearCollisions() {
    collisions_.clear();
    recordedPairs_.clear();
    std::erase(gWorldsWithPairs, this);
}

void CIWorld::ForgetPairsOf(CIBaseClassImpl* object) {
    if (collisions_.empty()) return;
    const auto names = [object](const auto& pair) {
        return pair.first == object || pair.second == object;
    };
    std::erase_if(collisions_, names);
    std::erase_if(recordedPairs_, names);
    if (collisions_.empty()) ClearCollisions();
}

const BlockRecord* CIWorld::CollideHandlerOf(CIBaseClassImpl* world) {
    const CValue& handler = static_cast<CIWorld*>(world)->onCollide_;
    return handler.GetType() == kValueFunction ? handler.GetFunction() : nullptr;
}

void CIWorld::RecordPair(CIBaseClassImpl* world, CIBaseClassImpl* first, CIBaseClassImpl* second) {
    static_cast<CIWorld*>(world)->RecordCollision(first, second);
}

void CIWorld::ForgetCollisionsOf(CIBaseClassImpl* object) {
    const std::vector<CIWorld*> worlds = gWorldsWithPairs;
    for (CIWorld* world : worlds)
        world->ForgetPairsOf(object);
}

// ---- Event properties --------------------------------------------------------------------

void CIWorld::OnCollide() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        onCollide_.SetFunction(handler);
    else
        onCollide_.SetInt(0);
}

void CIWorld::OnCollisions() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr) {
        onCollisions_.SetFunction(handler);
    } else {
        onCollisions_.SetInt(0);
        ClearCollisions();
    }
}

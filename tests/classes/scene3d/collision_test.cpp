// The collision callbacks as the engine calls them, driven from scripts through a probe:
// q.Contact(object, other, world) reports a contact of two objects, where an `other` of 0
// stands for an engine object that has no script class; q.Stray(other, world) reports one
// in which that engine object is the mover. Both answer the engine's response.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "classes/scene3d/location_class.h"
#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"
#include "script/script_runner.h"
#include "script/values/value.h"

namespace {

constexpr uint32_t kProbeClassId = 73;

class Probe final : public CIBaseClassImpl {
public:
    Probe(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }
    void Create() override { Register(); }

    static const ScriptMethod<Probe> kMethods[3];

private:
    CInterpretor& In() { return *interpreter; }
    L3DObject* EngineArg(uint32_t i) {
        const CValue* value = In().GetArg(i);
        if (value->GetType() != kValueObject) return &stray_;
        auto* placed = dynamic_cast<CILocation*>(value->GetObject());
        return placed != nullptr ? placed->engineObject : &stray_;
    }
    void Respond(L3DObject* object, L3DObject* other, uint32_t worldArg) {
        float offset[4] = {1, 2, 3, 0};
        const auto world = reinterpret_cast<uintptr_t>(In().GetArg(worldArg)->GetObject());
        In().GetResultSlot()->SetInt(
            CILocation::CollisionCallback(0, object, other, nullptr, offset, offset, world));
    }
    void Contact() { Respond(EngineArg(0), EngineArg(1), 2); }
    void Stray() { Respond(&stray_, EngineArg(0), 1); }

    L3DObject stray_{"stray", nullptr, nullptr};
};

const ScriptMethod<Probe> Probe::kMethods[3] = {nullptr, &Probe::Contact, &Probe::Stray};

const MethodNameRow kProbeNames[] = {
    {kProbeClassId, "Quaternion", 0, 0},
    {1, "Contact", 0, 0},
    {2, "Stray", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewProbe(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) Probe(&interpreter, record);
}

const ScriptClassInfo kProbeClass = {kProbeNames, NewProbe, 0, nullptr, 0, nullptr, nullptr};

class CollisionCallbacks : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = GetScriptClassInfo(kProbeClassId);
        RegisterScriptClass(&kProbeClass);
    }
    void TearDown() override {
        if (previous_ != nullptr)
            RegisterScriptClass(previous_);
        else
            UnregisterScriptClass(kProbeClassId);
    }
    // Runs `source` on a World `w` with a Camera `c` and two spheres `a` and `b`.
    std::string Run(const std::string& source) {
        script_test::ScriptResult result =
            runner_.Run("UseRenderers();\nq = New Quaternion();\ns = New Surface(32, 32);\n"
                        "w = New World(s);\nc = New Camera(w, s);\n"
                        "a = w.CreateSphere(10, 10, 10);\nb = w.CreateSphere(10, 10, 10);\n" +
                        source);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        return result.output;
    }

private:
    script_test::ScriptRunner runner_;
    const ScriptClassInfo* previous_ = nullptr;
};

TEST_F(CollisionCallbacks, AnObjectWithoutScriptClassStopsAndIsPostedAsZero) {
    EXPECT_EQ(Run("Function Hit(wo, one, two, face, v, side) {\n"
                  "    Print(one == a, two == a, face, v.GetX(), v.GetY(), v.GetZ(), side);\n"
                  "}\n"
                  "w.OnCollide = Hit;\n"
                  "a.SetCollisionType(Object.COLLISION_TYPE_SLIDE);\n"
                  "r1 = q.Contact(a, 0, w);\n"
                  "a.SetCollisionType(Object.COLLISION_TYPE_STOP);\n"
                  "r2 = q.Contact(a, 0, w);\n"
                  "a.SetCollisionType(Object.COLLISION_TYPE_NONE);\n"
                  "r3 = q.Contact(a, 0, w);\n"
                  "r4 = q.Stray(a, w);\n"
                  "Program.Wait(1);\n"
                  "Print(r1, r2, r3, r4);\n"),
              "1 0 0 1 2 3 0\n1 0 0 1 2 3 0\n1 0 0 1 2 3 0\n0 1 0 1 2 3 0\n4 2 0 0\n");
    // Between two objects with classes the types decide; the World given no handler
    // hears nothing.
    EXPECT_EQ(Run("b.SetCollisionType(Object.COLLISION_TYPE_NONE);\n"
                  "Print(q.Contact(a, b, w), q.Contact(b, a, w), QueuedEvents());\n"),
              "0 0 0\n");
}

TEST_F(CollisionCallbacks, PairsAreRecordedOnceAndAnObjectDeletedBeforeTheFrameLeavesThem) {
    EXPECT_EQ(Run("Function Met(wo, n, pairs) { Print(n, pairs[0] == a, pairs[1] == b); }\n"
                  "w.OnCollisions = Met;\n"
                  "q.Contact(b, a, w);\n"
                  "q.Contact(a, b, w);\n"
                  "c.Render();\n"
                  "Program.Wait(1);\n"
                  "q.Contact(a, b, w);\n"
                  "Delete(b);\n"
                  "c.Render();\n"
                  "Program.Wait(1);\n"
                  "Print(QueuedEvents(), b);\n"),
              "1 1 1\n0 0\n");
    // A second World's list loses the object as well; a World without OnCollisions
    // records nothing.
    EXPECT_EQ(Run("v = New World(New Surface(8, 8));\n"
                  "Function Met(wo, n, pairs) { Print(\"pairs\", n); }\n"
                  "v.OnCollisions = Met;\n"
                  "q.Contact(a, b, v);\n"
                  "q.Contact(a, b, w);\n"
                  "Delete(a);\n"
                  "Delete(v);\n"
                  "c.Render();\n"
                  "Program.Wait(1);\n"
                  "Print(QueuedEvents());\n"),
              "0\n");
}

} // namespace

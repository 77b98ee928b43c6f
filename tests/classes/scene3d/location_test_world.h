// A stand-in World for the placed classes' tests: New World() makes an engine world on
// the null back end, and each views refresh of it is counted. The fixture puts it in
// place of the real World for one test and gives the real classes back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classes/scene3d/location_class.h"
#include "classes/scene3d/scene3d_classes.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "script/interpreter/interpretor.h"
#include "script/script_runner.h"

namespace location_test {

class TestWorld final : public CIBaseClassImpl {
public:
    TestWorld(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void Create() override {
        world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
        Register();
    }
    void Destroy(int) override { delete this; }
    // Objects holding it are deleted with it.
    int IsReferenced() override { return 1; }

    LAPINull device;
    std::unique_ptr<L3DWorld> world;
    int refreshes = 0;
};

inline const MethodNameRow kWorldNames[] = {{CILocation::kWorldClassId, "World", 0, 0},
                                            {0, nullptr, 0, 0}};

inline CIBaseClassImpl* NewTestWorld(CInterpretor& interpreter, const CClassRecord* record) {
    return new TestWorld(&interpreter, record);
}

// Placed objects hold their World: deleting it visits them.
inline const uint32_t kWorldDependents[] = {CILocation::kLightClassId, CILocation::kPositionClassId,
                                            CILocation::kZoneClassId, 0};

inline const ScriptClassInfo kWorldInfo = {kWorldNames, NewTestWorld,     0,      nullptr,
                                           0,           kWorldDependents, nullptr};

inline int gRefreshes = 0;

inline const LocationWorldServices kServices = {
    [](CIBaseClassImpl* world) -> L3DWorld* { return static_cast<TestWorld*>(world)->world.get(); },
    [](CIBaseClassImpl*) { ++gRefreshes; }, nullptr, nullptr, nullptr};

class PlacedClasses : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterScriptClass(&kWorldInfo);
        CILocation::SetWorldServices(&kServices);
        gRefreshes = 0;
    }
    void TearDown() override {
        UnregisterScriptClass(CILocation::kWorldClassId);
        CILocation::SetWorldServices(nullptr);
        RegisterScene3DClasses();
    }
    // Runs a script that must end normally; its output.
    std::string Run(const std::string& source) {
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        return result.output;
    }
    // The error a script ends with, 0 when it ends normally.
    int32_t ErrorOf(const std::string& source) { return runner.Run(source).code; }

    script_test::ScriptRunner runner;
};

} // namespace location_test

// The mesh classes reach Materials through the services the Material class registers: a
// stand-in Material class shows that faces and points take and give them, and that the
// errors of a wrong argument come before anything changes.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "classes/scene3d/polygon_material_arg.h"
#include "classes/scene3d/world_class.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/material_list.h"
#include "engine3d/scene/objects/world.h"
#include "script/interpreter/interpretor.h"
#include "script/script_runner.h"

namespace {

// New Material(world): a material of the World's engine world.
class TestMaterial final : public CIBaseClassImpl {
public:
    TestMaterial(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void Create() override {
        auto* world = static_cast<CIWorld*>(interpreter->GetArgObjectOfClass(0, CIWorld::kClassId));
        owner = world;
        material = world->GetEngineWorld()->materials.CreateMaterial(
            ("M" + std::to_string(++gCount)).c_str(), nullptr, 0xFF, 0, nullptr);
        Register();
    }
    void Destroy(int) override { delete this; }
    int IsReferenced() override { return 1; }

    static inline int gCount = 0;
    CIBaseClassImpl* owner = nullptr;
    LMaterial* material = nullptr;
};

const MethodNameRow kNames[] = {{MeshMaterialServices::kMaterialClassId, "Material", 0, 0},
                                {0, nullptr, 0, 0}};

CIBaseClassImpl* NewMaterial(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) TestMaterial(&interpreter, record);
}

const ScriptClassInfo kMaterialInfo = {kNames, NewMaterial, 0, nullptr, 0, nullptr, nullptr};

// The wrapper of an engine material: the one test object that holds it.
CIBaseClassImpl* WrapperOf(CInterpretor& interpreter, CIBaseClassImpl*, LMaterial* material) {
    uint32_t position = interpreter.GetFirstObjectPos(MeshMaterialServices::kMaterialClassId);
    while (position != 0) {
        auto* object = static_cast<TestMaterial*>(
            interpreter.GetNextObject(MeshMaterialServices::kMaterialClassId, position));
        if (object != nullptr && object->material == material) return object;
    }
    return nullptr;
}

const MeshMaterialServices kServices = {
    [](CIBaseClassImpl* m) { return static_cast<TestMaterial*>(m)->material; },
    [](CIBaseClassImpl* m) { return static_cast<TestMaterial*>(m)->owner; },
    WrapperOf,
    [](CIBaseClassImpl*) -> LTexture* { return nullptr; },
    [](CIBaseClassImpl*) -> CIBaseClassImpl* { return nullptr; },
    [](CInterpretor&, CIBaseClassImpl*, LTexture*) -> CIBaseClassImpl* { return nullptr; },
};

class MeshMaterials : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterScriptClass(&kMaterialInfo);
        SetMeshMaterialServices(&kServices);
    }
    void TearDown() override {
        SetMeshMaterialServices(nullptr);
        UnregisterScriptClass(MeshMaterialServices::kMaterialClassId);
    }

    script_test::ScriptRunner runner;
};

const char kScene[] = "UseRenderers(); s = New Surface(64, 48); w = New World(s);\n"
                      "o = New Object(w); f = New Polygon(o, 0, 0, 0, 1, 0, 0, 0, 1, 0);\n"
                      "m = New Material(w);\n";

TEST_F(MeshMaterials, FacesAndTheirPointsTakeAndGiveMaterials) {
    script_test::ScriptResult result = runner.Run(
        std::string(kScene) + "a = f.GetMaterial(); f.SetMaterial(m);\n"
                              "p = f.GetPoint(0); q = p.GetMaterial();\n"
                              "Print(Program.IsObject(a), f.GetMaterial() == m, q == m);\n");
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "0 1 1\n");
}

TEST_F(MeshMaterials, AMaterialOfAnotherWorldOrAnotherClassIsRefused) {
    const std::string other = std::string(kScene) + "v = New World(s); n = New Material(v);\n";
    EXPECT_EQ(runner.Run(other + "f.SetMaterial(n);").code, 124);
    EXPECT_EQ(runner.Run(other + "f.SetMaterial(v);").code, 47);
    EXPECT_EQ(runner.Run(other + "f.SetMaterial();").code, 47);
}

} // namespace

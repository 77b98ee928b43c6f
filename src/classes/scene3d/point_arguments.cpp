#include "classes/scene3d/point_arguments.h"

#include "classes/scene3d/object_class.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/surface/point_array_class.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/scene_codes.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

// Switches merging off for its lifetime when it was on; Pause lets an existing point in
// meanwhile, which without merging the list would hold twice.
class SeparatePoints {
public:
    explicit SeparatePoints(LBasePoint* list)
        : list_(list != nullptr && list->IsMerging() ? list : nullptr) {
        if (list_ != nullptr) list_->DisableMerging();
    }
    ~SeparatePoints() {
        if (list_ != nullptr) list_->EnableMerging();
    }
    SeparatePoints(const SeparatePoints&) = delete;
    SeparatePoints& operator=(const SeparatePoints&) = delete;
    int AddExisting(LPolygon& polygon, L3DPoint* point) {
        if (list_ != nullptr) list_->EnableMerging();
        const int result = polygon.AddVertex(point);
        if (list_ != nullptr) list_->DisableMerging();
        return result;
    }

private:
    LBasePoint* list_;
};

} // namespace

int32_t ReadPointArguments(CInterpretor& interpreter, LPolygon& polygon, CIObject& object,
                           uint32_t first, const PointArgumentRules& rules, int32_t insertAt) {
    L3DObject* engine = object.GetEngineObject();
    SeparatePoints separate(
        rules.separatePoints && engine != nullptr ? engine->GetCurrentPointList() : nullptr);
    int32_t offered = 0;
    int32_t at = insertAt;
    auto add = [&](const float* v, int32_t refused) {
        ++offered;
        const int result =
            rules.insert ? polygon.InsertNewVertex(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6])
                         : polygon.AddNewVertex(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        if (result == kSceneOk)
            ++at;
        else if (refused != 0)
            interpreter.RaiseError(refused);
    };
    const uint32_t count = uint32_t(interpreter.GetArgCount());
    for (uint32_t i = first; i < count;) {
        const CValue* value = interpreter.GetArg(i);
        if (value->GetType() != kValueObject) {
            const float v[7] = {float(interpreter.GetArgDouble(i)),
                                float(interpreter.GetArgDouble(i + 1)),
                                float(interpreter.GetArgDouble(i + 2)),
                                1,
                                1,
                                1,
                                1};
            i += 3;
            add(v, rules.tripleRefused);
            continue;
        }
        ++i;
        if (value->IsObjectOfClass(CIPoint3D::kClassId)) {
            auto* point = static_cast<CIPoint3D*>(value->GetObject());
            if (point->GetWorld() != object.worldObject) interpreter.RaiseError(rules.otherWorld);
            L3DPoint* p = point->GetEnginePoint();
            if (p == nullptr) interpreter.RaiseError(rules.pointRefused);
            if (rules.insert) {
                const float v[7] = {
                    p->model[0], p->model[1], p->model[2], p->texture[0], p->texture[1], 1, 1};
                add(v, rules.pointRefused);
                continue;
            }
            ++offered;
            if (separate.AddExisting(polygon, p) != kSceneOk)
                interpreter.RaiseError(rules.pointRefused);
            point->Adopted();
        } else if (value->IsObjectOfClass(CIPointArray::kClassId)) {
            const auto* array = static_cast<const CIPointArray*>(value->GetObject());
            const int32_t dimension = array->Dimension();
            if (dimension != 3 && dimension != 5 && dimension != 7) interpreter.RaiseError(57);
            for (int32_t n = 0; n < array->Count(); ++n) {
                float v[7] = {0, 0, 0, 1, 1, 1, 1};
                for (int32_t k = 0; k < dimension; ++k)
                    v[k] = array->Value(n, k);
                if (dimension == 5) {
                    v[5] = v[3];
                    v[6] = v[4];
                }
                add(v, rules.arrayRefused);
            }
        } else {
            interpreter.RaiseError(53);
        }
    }
    return offered;
}

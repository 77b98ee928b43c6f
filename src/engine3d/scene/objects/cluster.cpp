#include "engine3d/scene/objects/cluster.h"

LBase3DCluster::LBase3DCluster(L3DWorld* owner) : L3DObject("Base_Cluster", owner, nullptr) {}

void LBase3DCluster::AddDynamic(L3DObject* object) {
    if (object->typeCode == kClone || object->typeCode == kAnimatedClone)
        dynamicObjects.InsertBefore(object, dynamicObjects.GetHead());
    else
        dynamicObjects.InsertAfter(object, nullptr);
}

int LBase3DCluster::RemoveDynamic(L3DObject* object) {
    LListNode* node = dynamicObjects.FindNode(object);
    if (node == nullptr) return 1;
    dynamicObjects.RemoveNode(node, 1);
    return 0;
}

int LBase3DCluster::AddStatic(L3DObject* object) {
    if (!object->HasPolygons(1)) return 1;
    staticObjects.InsertAfter(object, nullptr);
    return 0;
}

int LBase3DCluster::RemoveStatic(L3DObject* object) {
    LListNode* node = staticObjects.FindNode(object);
    if (node == nullptr) return 1;
    staticObjects.RemoveNode(node, 1);
    return 0;
}

void LBase3DCluster::RemoveAll() {
    dynamicObjects.RemoveAll();
    staticObjects.RemoveAll();
}

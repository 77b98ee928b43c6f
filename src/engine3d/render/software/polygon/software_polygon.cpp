#include "engine3d/render/software/polygon/software_polygon.h"

#include "engine3d/render/software/raster_state.h"

const LPolygon_Software::RasterEntry* LPolygon_Software::RasterTableFor(int) {
    return nullptr;
}
int LPolygon_Software::RasterEntryOf(int, PolygonDrawRoutine) {
    return -1;
}
void LPolygon_Software::DrawNothing(LPolygon&, L3DCamera&) {}
void LPolygon_Software::Prepare() {}
void LPolygon_Software::PrepareTextureCoordinates() {}
void LPolygon_Software::ComputeEnvironmentUV() {}
int LPolygon_Software::BackendVertexCount() {
    return 0;
}
void LPolygon_Software::DrawVertices(L3DPoint* const*, int, uint32_t) {}
void LPolygon_Software::SelectRasterizer(const RasterEntry*) {}
int LPolygon_Software::ClipAndDraw(L3DCamera&) {
    return 0;
}
int LPolygon_Software::ClipAndDrawGouraud(L3DCamera&) {
    return 0;
}
void LPolygon_Software::LendVertices(L3DPoint* const*, int) {}
void LPolygon_Software::ReturnVertices() {}
int LPolygon_Software::SetupEdgesFlat(int&) {
    return 0;
}
int LPolygon_Software::SetupEdgesAffine(int&) {
    return 0;
}
int LPolygon_Software::SetupEdgesGouraud(int&) {
    return 0;
}
int LPolygon_Software::SetupEdgesPerspective(int&) {
    return 0;
}
void LPolygon_Software::DrawWire32() {}
void LPolygon_Software::DrawWire24() {}
void LPolygon_Software::DrawWire16() {}
void LPolygon_Software::DrawWire15() {}
void LPolygon_Software::DrawWire8() {}
void LPolygon_Software::DrawLineZ32(int, int, float, int, int, float) {}
void LPolygon_Software::DrawLineZ24(int, int, float, int, int, float) {}
void LPolygon_Software::DrawLineZ16(int, int, float, int, int, float, int) {}
void LPolygon_Software::DrawLineZ8(int, int, float, int, int, float) {}
void LPolygon_Software::DrawSolid32() {}
void LPolygon_Software::DrawSolid24() {}
void LPolygon_Software::DrawSolid16() {}
void LPolygon_Software::DrawSolid15() {}
void LPolygon_Software::DrawSolid8() {}
void LPolygon_Software::DrawSolidTranslucent32() {}
void LPolygon_Software::DrawSolidTranslucent24() {}
void LPolygon_Software::DrawSolidTranslucent16() {}
void LPolygon_Software::DrawSolidTranslucent15() {}
void LPolygon_Software::DrawSpansTexturedAffine8() {}
void LPolygon_Software::DrawSpansTexturedAffine16() {}
void LPolygon_Software::DrawSpansTexturedAffine24() {}
void LPolygon_Software::DrawSpansTexturedAffine32() {}
void LPolygon_Software::FillQuadSolid8() {}
void LPolygon_Software::FillQuadSolid16(int) {}
void LPolygon_Software::FillQuadSolid24() {}
void LPolygon_Software::FillQuadSolid32() {}
void LPolygon_Software::FillQuadSolidTranslucent15() {}
void LPolygon_Software::FillQuadSolidTranslucent16() {}
void LPolygon_Software::FillQuadSolidTranslucent32() {}
void LPolygon_Software::FillQuadTextured8() {}
void LPolygon_Software::FillQuadTextured16(int) {}
void LPolygon_Software::FillQuadTextured24() {}
void LPolygon_Software::FillQuadTextured32() {}
void LPolygon_Software::FillQuadTexturedTranslucent15() {}
void LPolygon_Software::FillQuadTexturedTranslucent16() {}
void LPolygon_Software::FillQuadTexturedTranslucent24() {}
void LPolygon_Software::FillQuadTexturedTranslucent32() {}
void LPolygon_Software::FillQuadTexturedKeyed8() {}
void LPolygon_Software::FillQuadTexturedKeyed16(int) {}
void LPolygon_Software::FillQuadTexturedKeyed24() {}
void LPolygon_Software::FillQuadTexturedKeyed32() {}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent15() {}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent16() {}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent24() {}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent32() {}
void LPolygon_Software::DrawSpansPerspective32() {}
void LPolygon_Software::DrawSpansPerspectiveAlpha32() {}
void LPolygon_Software::DrawSpansPerspectiveKey32() {}
void LPolygon_Software::DrawSpansPerspectiveAlphaKey32() {}
void LPolygon_Software::DrawSpansPerspectiveWrap32() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlpha32() {}
void LPolygon_Software::DrawSpansPerspectiveWrapKey32() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlphaKey32() {}
void LPolygon_Software::DrawSpansPerspective24() {}
void LPolygon_Software::DrawSpansPerspectiveAlpha24() {}
void LPolygon_Software::DrawSpansPerspectiveKey24() {}
void LPolygon_Software::DrawSpansPerspectiveAlphaKey24() {}
void LPolygon_Software::DrawSpansPerspectiveWrap24() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlpha24() {}
void LPolygon_Software::DrawSpansPerspectiveWrapKey24() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlphaKey24() {}
void LPolygon_Software::DrawSpansPerspective16() {}
void LPolygon_Software::DrawSpansPerspectiveAlpha16() {}
void LPolygon_Software::DrawSpansPerspectiveKey16() {}
void LPolygon_Software::DrawSpansPerspectiveAlphaKey16() {}
void LPolygon_Software::DrawSpansPerspectiveWrap16() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlpha16() {}
void LPolygon_Software::DrawSpansPerspectiveWrapKey16() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlphaKey16() {}
void LPolygon_Software::DrawSpansPerspective15() {}
void LPolygon_Software::DrawSpansPerspectiveAlpha15() {}
void LPolygon_Software::DrawSpansPerspectiveKey15() {}
void LPolygon_Software::DrawSpansPerspectiveAlphaKey15() {}
void LPolygon_Software::DrawSpansPerspectiveWrap15() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlpha15() {}
void LPolygon_Software::DrawSpansPerspectiveWrapKey15() {}
void LPolygon_Software::DrawSpansPerspectiveWrapAlphaKey15() {}
void LPolygon_Software::DrawSpansPerspective8() {}
void LPolygon_Software::DrawSpansPerspectiveKey8() {}
void LPolygon_Software::DrawSpansPerspectiveWrap8() {}
void LPolygon_Software::DrawSpansPerspectiveWrapKey8() {}
L3DPoint* const* LPolygon_Software::DrawList() const {
    return nullptr;
}
int LPolygon_Software::DrawCount() const {
    return 0;
}
LPolygon_Software::LPolygon_Software(L3DObject* owner, int kind, LAPICLBK* backend)
    : LPolygon(owner, kind, backend) {
    Prepare();
}
LPolygon_Software::~LPolygon_Software() = default;

void CopySpansPerspective16(uint8_t*, int32_t, int32_t, int32_t*, int32_t, const uint8_t*, int32_t,
                            int32_t, int32_t, const ScanEdge*, const ScanEdge*, int) {}
void CopySpansPerspectiveKey16(uint8_t*, int32_t, int32_t, int32_t*, int32_t, const uint8_t*,
                               int32_t, int32_t, int32_t, const ScanEdge*, const ScanEdge*, int,
                               uint16_t) {}
void CopySpansPerspectiveWrap16(uint8_t*, int32_t, int32_t, int32_t*, int32_t, const uint8_t*,
                                int32_t, uint32_t, uint32_t, const ScanEdge*, const ScanEdge*,
                                int) {}
void CopySpansPerspectiveWrapKey16(uint8_t*, int32_t, int32_t, int32_t*, int32_t, const uint8_t*,
                                   int32_t, uint32_t, uint32_t, const ScanEdge*, const ScanEdge*,
                                   int, uint16_t) {}

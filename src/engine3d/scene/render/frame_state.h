// State shared by every world and renderer of the process: the renderer drawing the
// current frame, the lock every frame is drawn under, and the scratch polygon that
// shadows are projected into.
#pragma once

class LPolygon;
class LRenderAPICLBK;

// Null while no frame is drawn.
LRenderAPICLBK* GetCurrentRenderer();
void SetCurrentRenderer(LRenderAPICLBK* renderer);

// Re-entrant: a camera texture's frame is drawn inside the frame of its world.
void LockRender();
void UnlockRender();

// A free polygon (no owner, no device), made on first use and kept for the process.
LPolygon& GetScratchPolygon();

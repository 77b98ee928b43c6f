// What the other files of gl/ ask of the rendering contexts. Internal to gl/.
#pragma once

namespace platform::gl {

struct GlCalls;

// The layer's own GL calls when a context of ours is current on this thread, else null.
const GlCalls* CurrentCalls();

} // namespace platform::gl

// Another X client may destroy a window of ours, or a window that asked us for the
// clipboard, at any moment; what we then do to that window fails. Xlib's own handler ends
// the process at such an error: this one lets it pass.
#pragma once

namespace platform {

// Installs, once, a handler that ignores errors naming a window or drawable that is gone
// and leaves every other error to the handler it replaces.
void ToleratesVanishedWindows();

} // namespace platform

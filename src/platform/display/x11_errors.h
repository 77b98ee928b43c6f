// Another X client may destroy a window of ours, or a window that asked us for the
// clipboard, at any moment, and may cut one of our connections to the X server. Xlib's own
// handlers end the process at either; these let the player go on.
#pragma once

namespace platform {

// Installs, once, a handler that ignores errors naming a window or drawable that is gone
// (every other error goes to the handler it replaces), and one that reports a broken
// connection and leaves the rest to that connection's exit handler
// (XSetIOErrorExitHandler; Xlib's default one ends the process).
void InstallXErrorHandlers();

} // namespace platform

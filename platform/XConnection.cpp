#include "platform/XConnection.h"

#if defined(TINDREL_HAVE_X11)
#include <X11/Xlib.h>
#include <unistd.h>

namespace {
// Xlib exits when this returns, and there is nothing to return to: SDL would go on talking to
// the dead connection. So say it in our words and end here; write and _exit are all a handler
// can rely on in this state.
int displayWentAway(Display*) {
    static constexpr char message[] = "tindrel: the display went away\n";
    [[maybe_unused]] const auto written = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}
} // namespace

// SDL loads the same Xlib, whose handler is one for the whole process.
void XConnection::endWhenLost() { XSetIOErrorHandler(displayWentAway); }
#else
void XConnection::endWhenLost() {}
#endif

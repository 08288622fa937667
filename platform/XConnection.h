#pragma once

// The X server's connection, as SDL's X driver holds it.
namespace XConnection {

// From now on a broken connection (the server ended, or another client killed ours) ends the
// program at once with "tindrel: the display went away" on standard error and status 1,
// instead of Xlib's own message. Does nothing where the program is built without Xlib.
void endWhenLost();

} // namespace XConnection

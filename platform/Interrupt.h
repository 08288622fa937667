#pragma once

// SIGINT and SIGTERM end the show the way a held Escape does: every loop stops before its next
// frame and the program tears down normally. Keys report it; only work that draws no frames (the
// music alone) looks itself.
class Interrupt {
public:
    // Installs the handlers; later calls do nothing.
    static void install();
    static bool requested();
    // For tests and for the window's close button, which means the same thing.
    static void request();
};

#pragma once

#include "platform/Display.h"

#include <memory>
#include <stdexcept>
#include <string>

// The show's window or full-screen output, on SDL2. Full screen takes the desktop's mode and
// scales the frame to fit with its aspect kept, black bars around it and no cursor; a window is
// an integer multiple of the frame's size. Frames are presented with vsync where offered.
// Opens the video subsystem; create it before anything else that needs it (the keys).
class SdlDisplay : public Display {
public:
    // Thrown when there is no display to open; the show does not start.
    class Unavailable : public std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    struct Options {
        int width = 600;
        int height = 300;
        bool fullscreen = true;
        int scale = 2;  // window only
        std::string title = "Tindrel application";
    };

    explicit SdlDisplay(const Options& options);
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    void present(const Image& frame) override;

private:
    struct Window;
    std::unique_ptr<Window> window_;
};

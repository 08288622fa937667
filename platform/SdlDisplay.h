#pragma once

#include "platform/Display.h"
#include "raster/FrameSize.h"

#include <memory>
#include <stdexcept>
#include <string>

// The show's window or full-screen output, on SDL2. The frame is scaled to fit with its aspect
// kept and black bars around it, in a window the user may resize or in full screen on the
// desktop's mode. The pointer is the keys' (SdlKeys). Frames are drawn by SDL's software renderer,
// no GPU driver loaded, and paced to the display's refresh. Opens the video subsystem; create it before anything else
// that needs it (the keys).
class SdlDisplay : public PlayerWindow {
public:
    // Thrown when there is no display to open; the show does not start.
    class Unavailable : public std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    struct Options {
        int width = frameWidth;
        int height = frameHeight;
        bool fullscreen = true;
        int scale = 0;  // window only; 0 takes the largest whole scale that fits the screen
        std::string title = "Tindrel application";
    };

    // SDL falls back to drivers that show nothing when no display can be opened: those count
    // as no display unless SDL_VIDEODRIVER asks for them by name.
    explicit SdlDisplay(const Options& options);
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    void show(const Image& frame, const Overlay& overlay) override;
    void toggleFullscreen() override;
    double refreshSeconds() const override;
    // Where the frame was last shown in the window, in the window's pixels.
    struct Picture {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    Picture picture() const;
    // A PNG file in the folder the show was started in, as a still writes it; a name already
    // taken gets a number before its extension rather than replacing someone's picture.
    std::string screenshot(const Image& frame, const std::string& name) override;

private:
    struct Window;
    std::unique_ptr<Window> window_;
};

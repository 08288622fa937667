#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "raster/Image.h"

class ShowPlan;

// The show rendered without a display or a sound card, on a virtual clock, frame-exact and the
// same on every run. The scenes, the frame protocol and the order of construction are those of
// live play; only the platform underneath differs.
class OfflineRender {
public:
    // The frame the show presents when the music is at order and row and the clock reads
    // seconds, as in an uninterrupted play from the start: the phase running at that position
    // draws one frame, the rows on the way stepped through as the song has them. Empty when no
    // scene draws there (past the end, say).
    static std::unique_ptr<Image> still(const ShowPlan& show, int order, int row, double seconds);

    // How a capture is written; what it renders is the show's range.
    struct CaptureOptions {
        std::filesystem::path directory;
        int fps = 60;
        bool audioOnly = false;
        // When set, the frames go to ffmpeg instead of PNG files and come out muxed with the
        // music as one video at the frame rate: AAC sound, or Opus in a .webm file, with a
        // chapter for each scene under its title.
        std::filesystem::path video;
        std::string videoCodec = "h264";  // one of videoCodecs()
        int videoScale = 1;  // each pixel as scale x scale whole pixels, no blur
        // With a video, the frames and music.wav also go to directory; without this the
        // directory is left as it was.
        bool keepFrames = false;
        // Frames of an earlier capture in directory are refused, since old and new would pass for
        // one capture; with overwrite they and its music.wav are removed first. So is a video
        // already there, which overwrite replaces.
        bool overwrite = false;
        bool progress = true;
    };
    struct CaptureResult {
        int frames = 0;
        bool interrupted = false;  // SIGINT or SIGTERM stopped it before the end
    };
    // Renders the show's range to directory/frame-NNNNNN.png (or the video) and the music heard
    // meanwhile to directory/music.wav. With audioOnly no scene runs: music.wav holds the music
    // from the start of the range to its end, and no frame is written. Throws
    // std::runtime_error when an output cannot be written, ffmpeg fails, or directory holds an
    // earlier capture's frames and overwrite is not set.
    static CaptureResult capture(const ShowPlan& show, const CaptureOptions& options);
    // The names of the codecs a video can be encoded with; the first is the default.
    static std::vector<std::string> videoCodecs();
    // Whether the video's name asks for the WebM container, which takes neither H.264 nor AAC.
    static bool isWebm(const std::filesystem::path& video);
};

#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/MusicShape.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"

// The show rendered without a display or a sound card, on a virtual clock, frame-exact and the
// same on every run. The scenes, the frame protocol and the order of construction are those of
// live play; only the platform underneath differs.
class OfflineRender {
public:
    // The frame the show built from data presents when the music is at order and row and the clock reads
    // seconds, as in an uninterrupted play from the start: the phase running at that position
    // draws one frame. Empty when no scene draws there (past the end, say).
    static std::unique_ptr<Image> still(const DataFolder& data, int order, int row, double seconds);
    // The same, with the rows stepped through on the way as the song has them.
    static std::unique_ptr<Image> still(const DataFolder& data, const MusicShape& shape, int order, int row,
                                        double seconds);
    // The shape of the data's song, from its module read without its samples.
    static MusicShape musicShape(const DataFolder& data);

    struct CaptureOptions {
        DataFolder data;  // where the show and its music are read from
        std::filesystem::path directory;
        int fps = 60;
        int from = 0;
        int fromRow = 0;
        int to = -1;  // last order rendered; -1 for the whole music
        int toRow = -1;  // the last row rendered of that order; -1 all of it
        bool audioOnly = false;
        // When set, the frames go to ffmpeg instead of PNG files and come out muxed with the
        // music as one video at the frame rate: AAC sound, or Opus in a .webm file.
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
    // Renders frames to directory/frame-NNNNNN.png (or the video) and the music heard meanwhile
    // to directory/music.wav. With audioOnly no scene runs: music.wav holds the music from the
    // start of order from to the end of order to, and no frame is written. Throws
    // std::runtime_error when an output cannot be written, ffmpeg fails, or directory holds an
    // earlier capture's frames and overwrite is not set.
    static CaptureResult capture(const CaptureOptions& options);
    // The names of the codecs a video can be encoded with; the first is the default.
    static std::vector<std::string> videoCodecs();
    // Whether the video's name asks for the WebM container, which takes neither H.264 nor AAC.
    static bool isWebm(const std::filesystem::path& video);
};

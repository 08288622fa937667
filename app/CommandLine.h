#pragma once

#include "app/ConfigFile.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// What the user asked for. With no arguments the program plays the show full screen.
// Parsing knows the commands and their options, but not the show: where a title or a time lies,
// and whether an order or a row exists, is for the caller to find once the show is loaded.
struct CommandLine {
    class UsageError : public std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    // A line of the configuration file that is wrong: "PATH:LINE: what".
    class ConfigError : public UsageError {
        using UsageError::UsageError;
    };

    enum class Mode { play, still, capture, convert, sheet, studio, newShow, help, version, listScenes };
    Mode mode = Mode::play;

    std::string helpTopic;  // help: the command asked about, empty for the whole program
    std::string dataDir;    // --data, empty when not given

    // --from and --to as typed: an order, a time, or else a scene's title.
    struct Place {
        std::string text;  // as given, for messages; empty when not given
        std::optional<int> order;
        std::optional<double> time;
        bool given() const { return !text.empty(); }
        bool isTitle() const { return given() && !order && !time; }
    };

    // play
    bool window = false;
    int scale = 0;  // 0: the largest whole scale that fits the screen
    Place from;     // also capture, studio
    Place to;
    bool loop = false;  // play from..to again until Escape or q
    bool mute = false;
    int volume = 100;  // percent
    bool stats = false;
    bool gentle = false;  // play, capture: white flashes at most 40 % of full white
    std::string source;  // studio: the asset sources, empty for the source tree's

    // still
    int order = 0;
    int row = 0;
    std::optional<double> seconds;  // empty: the music's own time at order and row
    bool rgba = false;              // also convert

    // capture
    int fps = 60;
    bool audioOnly = false;  // only music.wav, no frames
    std::string video;       // --video FILE.mp4: frames and music through ffmpeg into one file
    std::string videoCodec = "h264";  // --video-codec, one of OfflineRender::videoCodecs()
    int videoScale = 1;      // --video-scale: each pixel N x N
    bool keepFrames = false; // with --video: the frames and music.wav stay in the directory too
    bool overwrite = false;  // the frames and music.wav of an earlier capture are removed first

    // still, sheet: the picture; capture: the directory; convert: the picture written; new: the folder
    std::string output;
    std::string input;  // convert

    // Throws UsageError with a one-line reason. The configuration's settings come first, each
    // to the commands it means something to, so the command line wins; each is checked whatever
    // the command, and a wrong one throws ConfigError. Help and the version take none.
    static CommandLine parse(const std::vector<std::string>& args, const ConfigFile& config = {});
    // The options the command takes ("play", "studio", ...), as the help names them; the ones
    // left out of the help (--fs) left out here too.
    static std::vector<std::string> optionsOf(const std::string& command);
    // The help of one command ("play", "still", ...), or of every command and the player's keys
    // when command is empty.
    static std::string help(const std::string& command);
    // The one way a place the show does not have is refused, whatever is wrong with it; what
    // follows says what there is.
    static std::string noSuchPlace(const std::string& option, const std::string& text, const std::string& there);
};

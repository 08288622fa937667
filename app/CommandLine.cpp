#include "app/CommandLine.h"

#include "app/OfflineRender.h"
#include "platform/KeyTable.h"
#include "show/ShowFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace {

using Mode = CommandLine::Mode;

// The commands that do something, as bits, so one option can belong to several.
enum Use : unsigned { play = 1, still = 2, capture = 4, sheet = 8, convert = 16, studio = 32, newShow = 64 };

struct Subcommand {
    const char* name;
    Mode mode;
    Use use;
    const char* help;
};

const Subcommand commands[] = {
    {"play", Mode::play, play,
     "tindrel [play] [--window] [--scale N] [--from WHERE] [--to WHERE] [--loop] [--volume N]\n"
     "        [--mute] [--gentle] [--stats] [--data DIR]\n"
     "    Plays the show with its music, full screen unless --window.\n"
     "    --window           a window instead of the full screen\n"
     "    --scale N          the frame N times 600 x 300 in a window (1 to 16); by default the\n"
     "                       largest whole scale that fits the screen\n"
     "    --from WHERE       start there: an ORDER (a whole number), a TIME (2:30 or 150.5) meaning\n"
     "                       the order and row playing then, or a scene's TITLE, its first order\n"
     "    --to WHERE         end after that order, the row playing at that time, or the scene\n"
     "    --loop             play from..to again and again until Escape or q; with a TITLE for\n"
     "                       --from and no --to, that scene alone\n"
     "    --volume N         the sound at N % (0 to 100, default 100)\n"
     "    --mute             the same timing without sound\n"
     "    --gentle           white flashes and strobes at most 40 % of full white\n"
     "    --stats            at the end, on standard error: the work per frame (p50, p99, max)\n"
     "                       and the frames that missed a display refresh\n"
     "    --data DIR         read the show's files from DIR\n"
     "    Settings kept for every run: ~/.config/tindrel/tindrel.conf, one option=value a line\n"
     "    (volume=60, window); the command line wins.\n"},
    {"studio", Mode::studio, studio,
     "tindrel studio --source DIR [--window] [--scale N] [--from WHERE] [--to WHERE] [--loop]\n"
     "        [--volume N] [--mute] [--stats]\n"
     "    Plays the show from its readable sources, with the player's keys: a saved source is\n"
     "    rebuilt and its scenes shown anew where the show is, paused or not. A mistake in a\n"
     "    source is printed as FILE:LINE: what and shown over the picture; the show goes on.\n"
     "    At the show's end the last frame stays until you quit; Home plays it again.\n"
     "    --source DIR       the show's sources, e.g. a folder tindrel new made; a program run\n"
     "                       from its build tree defaults to that tree's assets/ folder\n"
     "    the other options  as for play\n"},
    {"new", Mode::newShow, newShow,
     "tindrel new DIR\n"
     "    Starts a show of your own: writes the show's sources (SVG pictures, texture programs,\n"
     "    objects, the song) and a README.md into DIR, which must be new or empty. Then:\n"
     "    tindrel studio --source DIR\n"},
    {"still", Mode::still, still,
     "tindrel still ORDER ROW [SECONDS] OUT.png [--rgba] [--data DIR]\n"
     "    Writes the frame an uninterrupted play presents when the music is at ORDER and ROW,\n"
     "    with the clock at SECONDS; without SECONDS, the music's own time at that position.\n"
     "    OUT.png may be - for standard output.\n"
     "    --rgba             write the alpha channel too\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"capture", Mode::capture, capture,
     "tindrel capture DIR [--fps N] [--from WHERE] [--to WHERE] [--audio-only] [--overwrite] [--gentle]\n"
     "        [--data DIR]\n"
     "tindrel capture [DIR] --video FILE.mp4 [--video-scale N] [--video-codec h264|vp9|av1]\n"
     "        [--keep-frames] [--fps N] [--from WHERE] [--to WHERE] [--overwrite] [--gentle] [--data DIR]\n"
     "    Renders the show frame-exact to DIR/frame-NNNNNN.png and its music to DIR/music.wav,\n"
     "    or into one video. Frames, music or a video already there are refused unless --overwrite.\n"
     "    --fps N            frames a second, 1 to 1000 (default 60)\n"
     "    --from, --to       where the capture starts and ends, as for play\n"
     "    --audio-only       the music alone, DIR/music.wav\n"
     "    --video FILE.mp4   frames and music into one H.264/AAC file through ffmpeg; no DIR needed\n"
     "    --video-scale N    each pixel as N x N whole pixels (1 to 8; 6 gives 3600 x 1800), sharp\n"
     "                       for video sites\n"
     "    --video-codec C    h264 (the default), or vp9 or av1 for the web; a FILE.webm takes vp9\n"
     "                       unless told, and Opus sound instead of AAC\n"
     "    --keep-frames      with --video: the frames and music.wav go to DIR as well\n"
     "    --overwrite        replace the frames and music.wav of an earlier capture, or the video\n"
     "    --gentle           white flashes and strobes at most 40 % of full white\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"sheet", Mode::sheet, sheet,
     "tindrel sheet OUT.png [--data DIR]\n"
     "    Writes a contact sheet: one labelled frame from each scene.\n"
     "    OUT.png may be - for standard output.\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"convert", Mode::convert, convert,
     "tindrel convert IN OUT.png [--rgba]\n"
     "    Decodes a picture the show can load (.pcx, .tex) and writes it as PNG. IN may also be\n"
     "    a source from anywhere: a texture program (.tex.txt) or one of the show's SVG\n"
     "    pictures (e.g. DIR/Part8/background.svg), written as the pixels the show loads from\n"
     "    it; any other SVG, drawn as a 600 x 300 background; an object (.lwo.txt), drawn lit\n"
     "    and outlined from three angles.\n"
     "    OUT.png may be - for standard output.\n"
     "    --rgba             write the alpha channel too\n"},
};

int toInt(const std::string& text, const std::string& what, int lo, int hi);
void toPlace(CommandLine& cl, const std::string& text, bool end);
std::string toVideoCodec(const std::string& text);

// Which commands each option means something to, and what it sets.
struct Option {
    const char* name;
    bool takesValue;
    unsigned commands;
    void (*set)(CommandLine& cl, const std::string& value);
    bool inHelp = true;
};

const Option options[] = {
    {"--window", false, play | studio, [](CommandLine& cl, const std::string&) { cl.window = true; }},
    // mpv's name for it, left out of the help: full screen is the default.
    {"--fs", false, play | studio, [](CommandLine& cl, const std::string&) { cl.window = false; }, false},
    {"--scale", true, play | studio, [](CommandLine& cl, const std::string& v) { cl.scale = toInt(v, "--scale", 1, 16); }},
    {"--from", true, play | capture | studio, [](CommandLine& cl, const std::string& v) { toPlace(cl, v, false); }},
    {"--to", true, play | capture | studio, [](CommandLine& cl, const std::string& v) { toPlace(cl, v, true); }},
    {"--loop", false, play | studio, [](CommandLine& cl, const std::string&) { cl.loop = true; }},
    {"--mute", false, play | studio, [](CommandLine& cl, const std::string&) { cl.mute = true; }},
    {"--volume", true, play | studio,
     [](CommandLine& cl, const std::string& v) { cl.volume = toInt(v, "--volume", 0, 100); }},
    {"--stats", false, play | studio, [](CommandLine& cl, const std::string&) { cl.stats = true; }},
    {"--gentle", false, play | capture, [](CommandLine& cl, const std::string&) { cl.gentle = true; }},
    {"--source", true, studio, [](CommandLine& cl, const std::string& v) { cl.source = v; }},
    {"--rgba", false, still | convert, [](CommandLine& cl, const std::string&) { cl.rgba = true; }},
    {"--fps", true, capture, [](CommandLine& cl, const std::string& v) { cl.fps = toInt(v, "--fps", 1, 1000); }},
    {"--audio-only", false, capture, [](CommandLine& cl, const std::string&) { cl.audioOnly = true; }},
    {"--video", true, capture, [](CommandLine& cl, const std::string& v) { cl.video = v; }},
    {"--video-scale", true, capture,
     [](CommandLine& cl, const std::string& v) { cl.videoScale = toInt(v, "--video-scale", 1, 8); }},
    {"--video-codec", true, capture, [](CommandLine& cl, const std::string& v) { cl.videoCodec = toVideoCodec(v); }},
    {"--keep-frames", false, capture, [](CommandLine& cl, const std::string&) { cl.keepFrames = true; }},
    {"--overwrite", false, capture, [](CommandLine& cl, const std::string&) { cl.overwrite = true; }},
    {"--data", true, play | still | capture | sheet, [](CommandLine& cl, const std::string& v) { cl.dataDir = v; }},
};

std::string keysHelp() {
    std::string text = "Keys and the mouse while the show plays:\n";
    for (const std::string& line : KeyTable::lines()) text += "    " + line + '\n';
    return text;
}

const Subcommand* commandNamed(std::string_view name) {
    for (const Subcommand& c : commands)
        if (name == c.name) return &c;
    return nullptr;
}

const Option* optionNamed(std::string_view name) {
    for (const Option& o : options)
        if (name == o.name) return &o;
    return nullptr;
}

std::string commandsTaking(const Option& option) {
    std::string names;
    for (const Subcommand& c : commands)
        if (option.commands & c.use) names += (names.empty() ? "" : ", ") + std::string(c.name);
    return names;
}

// The program's own show's: the help is read before any show is.
std::string sceneTitles() { return ShowFile::shipped().timetable.titles(); }

// Breaks text at spaces into lines of at most width characters, each ending in a newline.
std::string wrapped(std::string_view text, std::size_t width) {
    std::string lines;
    std::size_t lineStart = 0;
    while (text.size() - lineStart > width) {
        std::size_t cut = text.rfind(' ', lineStart + width);
        if (cut == std::string_view::npos || cut <= lineStart) cut = text.find(' ', lineStart + width);
        if (cut == std::string_view::npos) break;
        lines += std::string(text.substr(lineStart, cut - lineStart)) + '\n';
        lineStart = cut + 1;
    }
    return lines + std::string(text.substr(lineStart)) + '\n';
}

int toInt(const std::string& text, const std::string& what, int lo, int hi) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < lo || value > hi)
        throw CommandLine::UsageError(what + " must be a whole number from " + std::to_string(lo) + " to " +
                                      std::to_string(hi) + ", not \"" + text + "\"");
    return value;
}

// "2:30", "1:02:30.5" or "150.5" (a point, so as not to be an order): seconds, or nothing.
std::optional<double> timeOf(const std::string& text) {
    if (text.find_first_of(":.") == std::string::npos) return std::nullopt;
    double seconds = 0.0;
    std::size_t at = 0;
    for (int part = 0;; ++part) {
        const std::size_t colon = text.find(':', at);
        const std::string field = text.substr(at, colon == std::string::npos ? std::string::npos : colon - at);
        const bool last = colon == std::string::npos;
        // Every field but the last is whole; all but the first are below 60.
        if (field.empty() || part > 2 || !std::all_of(field.begin(), field.end(), [last](char c) {
                return std::isdigit(static_cast<unsigned char>(c)) || (last && c == '.');
            }) || std::count(field.begin(), field.end(), '.') > 1 || field == ".")
            return std::nullopt;
        const double value = std::stod(field);
        if (part > 0 && value >= 60.0) return std::nullopt;
        seconds = seconds * 60.0 + value;
        if (last) break;
        at = colon + 1;
    }
    return seconds <= 1e6 ? std::optional(seconds) : std::nullopt;
}

// An order by its number, a time, or else a scene by its title. Whether the order, the time or
// the title is in the show is the show's to say.
void toPlace(CommandLine& cl, const std::string& text, bool end) {
    CommandLine::Place& place = end ? cl.to : cl.from;
    place = {};
    place.text = text;
    if (text.empty())
        throw CommandLine::UsageError(CommandLine::noSuchPlace(end ? "--to" : "--from", text,
                                                               "it takes an order, a time such as 2:30 or 150.5, or "
                                                               "a scene's title"));
    int order = 0;
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, order);
    if (const auto seconds = timeOf(text)) place.time = *seconds;
    else if (ec == std::errc() && ptr == last && order >= 0 && order <= 65535) place.order = order;
}

double toSeconds(const std::string& text) {
    std::size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || !(value >= -1e6 && value <= 1e6))
        throw CommandLine::UsageError("SECONDS must be a number, not \"" + text + "\"");
    return value;
}

std::string toVideoCodec(const std::string& text) {
    const std::vector<std::string> codecs = OfflineRender::videoCodecs();
    if (std::find(codecs.begin(), codecs.end(), text) != codecs.end()) return text;
    std::string names;
    for (const std::string& c : codecs) names += (names.empty() ? "" : ", ") + c;
    throw CommandLine::UsageError("--video-codec takes one of " + names + ", not \"" + text + "\"");
}

// Said before ffmpeg starts, which would only say it cannot tell the container, or take the
// name for an option of its own.
void checkVideoName(const std::string& name) {
    const char* known = "the video's name must end in .mp4, .mkv, .mov or .webm";
    if (name == "-") throw CommandLine::UsageError("--video cannot go to standard output; " + std::string(known));
    std::string extension = std::filesystem::path(name).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".mp4" && extension != ".mkv" && extension != ".mov" && extension != ".webm")
        throw CommandLine::UsageError("--video \"" + name + "\": " + known);
}

// A leading dash and a digit is a number (a negative SECONDS), not an option.
bool looksLikeOption(const std::string& a) { return a.size() > 1 && a[0] == '-' && (a[1] < '0' || a[1] > '9'); }

} // namespace

std::string CommandLine::noSuchPlace(const std::string& option, const std::string& text, const std::string& there) {
    return option + " \"" + text + "\" is no place in the show; " + there;
}

std::string CommandLine::help(const std::string& command) {
    if (const Subcommand* c = commandNamed(command)) {
        std::string text = std::string("usage: ") + c->help;
        if (c->mode == Mode::play || c->mode == Mode::studio) text += '\n' + keysHelp();
        if (c->mode == Mode::play || c->mode == Mode::capture || c->mode == Mode::studio)
            text += '\n' + wrapped("TITLE is one of: " + sceneTitles() + '.', 92);
        return text;
    }
    std::string text = "tindrel: a real-time audiovisual show\n\nusage:\n";
    for (const Subcommand& c : commands) text += std::string("  ") + c.help;
    text += "  tindrel help [COMMAND] | COMMAND --help\n"
            "    The help of one command.\n"
            "  tindrel --version\n\n";
    text += keysHelp();
    text += '\n' + wrapped("TITLE is a scene's title, in any case, with or without its leading \"the\", with "
                            "dashes for spaces if you like: " +
                                sceneTitles() + '.',
                            92);
    return text;
}

std::vector<std::string> CommandLine::optionsOf(const std::string& command) {
    std::vector<std::string> names;
    const Subcommand* c = commandNamed(command);
    for (const Option& o : options)
        if (c && (o.commands & c->use) && o.inHelp) names.emplace_back(o.name);
    return names;
}

CommandLine CommandLine::parse(const std::vector<std::string>& args, const ConfigFile& config) {
    CommandLine cl;
    struct Given {
        const Option* option;
        std::string value;
        bool configured = false;  // from the configuration file, to the commands that take it
    };
    std::vector<Given> given;
    std::vector<std::string> positional;
    std::string unknown;
    bool helpAsked = false;
    bool version = false;
    bool listScenes = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            helpAsked = true;
        } else if (a == "--version") {
            version = true;
        } else if (a == "--list-scenes") {  // for the shell's completion, so it is not in the help
            listScenes = true;
        } else if (const Option* o = optionNamed(a)) {
            if (o->takesValue && i + 1 >= args.size()) throw UsageError(a + " needs a value");
            given.push_back({o, o->takesValue ? args[++i] : ""});
        } else if (const std::size_t equals = a.find('='); a.starts_with("--") && equals != std::string::npos &&
                                                            optionNamed(std::string_view(a).substr(0, equals))) {
            // --name=value, as most programs take it.
            const Option* named = optionNamed(std::string_view(a).substr(0, equals));
            if (!named->takesValue) throw UsageError(std::string(named->name) + " takes no value");
            given.push_back({named, a.substr(equals + 1)});
        } else if (looksLikeOption(a)) {
            if (unknown.empty()) unknown = a;
        } else {
            positional.push_back(a);
        }
    }

    // Help is answered whatever else the line holds: it is often asked of a line that failed.
    const bool helpCommand = !positional.empty() && positional[0] == "help";
    if (helpAsked || helpCommand) {
        cl.mode = Mode::help;
        const std::size_t topic = helpCommand ? 1 : 0;
        if (topic < positional.size()) {
            if (!commandNamed(positional[topic])) {
                if (helpCommand) throw UsageError("unknown command " + positional[topic]);
            } else {
                cl.helpTopic = positional[topic];
            }
        }
        return cl;
    }
    if (version) {
        cl.mode = Mode::version;
        return cl;
    }
    if (listScenes) {
        cl.mode = Mode::listScenes;
        // The completion may ask of a show elsewhere.
        for (const Given& g : given)
            if (std::string_view(g.option->name) == "--data") g.option->set(cl, g.value);
        return cl;
    }
    if (!unknown.empty()) throw UsageError("unknown option " + unknown);

    const Subcommand* command = positional.empty() ? commandNamed("play") : commandNamed(positional[0]);
    if (!command) throw UsageError("unknown command " + positional[0]);
    cl.mode = command->mode;
    if (!positional.empty()) positional.erase(positional.begin());

    // The configuration first, so the command line has the last word.
    std::vector<Given> configured;
    for (const ConfigFile::Setting& s : config.settings) {
        const std::string at = config.path + ":" + std::to_string(s.line) + ": ";
        const Option* o = optionNamed(s.name);
        if (!o || !o->inHelp) throw ConfigError(at + "no option " + s.name.substr(2));
        std::string value = s.value;
        if (!o->takesValue) {
            if (s.hasValue && value != "yes" && value != "no")
                throw ConfigError(at + s.name.substr(2) + " takes yes or no, not \"" + value + "\"");
            if (value == "no") continue;
        } else if (!s.hasValue || value.empty()) {
            throw ConfigError(at + s.name.substr(2) + " needs a value");
        }
        try {
            CommandLine scratch;
            o->set(scratch, value);
        } catch (const UsageError& e) {
            throw ConfigError(at + e.what());
        }
        if (o->commands & command->use) configured.push_back({o, value, true});
    }
    given.insert(given.begin(), configured.begin(), configured.end());

    bool videoCodecGiven = false;
    bool videoScaleGiven = false;
    for (const Given& g : given) {
        if (!(g.option->commands & command->use))
            throw UsageError(std::string(g.option->name) + " is not an option of " + command->name + "; it goes with " +
                             commandsTaking(*g.option));
        g.option->set(cl, g.value);
        videoCodecGiven = videoCodecGiven || std::string_view(g.option->name) == "--video-codec";
        videoScaleGiven = videoScaleGiven || std::string_view(g.option->name) == "--video-scale";
    }

    auto expect = [&](std::size_t lo, std::size_t hi) {
        if (positional.size() < lo || positional.size() > hi) {
            const std::string_view synopsis = command->help;
            throw UsageError("expected: " + std::string(synopsis.substr(0, synopsis.find('\n'))));
        }
    };
    switch (cl.mode) {
    case Mode::play:
    case Mode::studio:
        expect(0, 0);
        break;
    case Mode::still:
        expect(3, 4);
        cl.order = toInt(positional[0], "ORDER", 0, 65535);
        cl.row = toInt(positional[1], "ROW", 0, 65535);
        if (positional.size() == 4) cl.seconds = toSeconds(positional[2]);
        cl.output = positional.back();
        break;
    case Mode::capture:
        // A video needs no folder, but for keeping its frames.
        expect(cl.video.empty() || cl.keepFrames ? 1 : 0, 1);
        if (!positional.empty()) cl.output = positional[0];
        if (cl.audioOnly && !cl.video.empty()) throw UsageError("--audio-only and --video do not go together");
        if (cl.keepFrames && cl.video.empty()) throw UsageError("--keep-frames goes with --video");
        if (videoCodecGiven && cl.video.empty()) throw UsageError("--video-codec goes with --video");
        if (videoScaleGiven && cl.video.empty()) throw UsageError("--video-scale goes with --video");
        if (!cl.video.empty()) checkVideoName(cl.video);
        if (OfflineRender::isWebm(cl.video)) {
            if (!videoCodecGiven) cl.videoCodec = "vp9";
            else if (cl.videoCodec == "h264")
                throw UsageError("h264 does not go in a .webm file; --video-codec vp9 or av1 does");
        }
        break;
    case Mode::sheet:
    case Mode::newShow:
        expect(1, 1);
        cl.output = positional[0];
        break;
    default:  // convert
        expect(2, 2);
        cl.input = positional[0];
        cl.output = positional[1];
        break;
    }
    return cl;
}

#include "app/CommandLine.h"

#include "app/OfflineRender.h"
#include "show/Timetable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <string_view>

namespace {

using Mode = CommandLine::Mode;

// The commands that do something, as bits, so one option can belong to several.
enum Use : unsigned { play = 1, still = 2, capture = 4, sheet = 8, convert = 16, studio = 32 };

struct Command {
    const char* name;
    Mode mode;
    Use use;
    const char* help;
};

const Command commands[] = {
    {"play", Mode::play, play,
     "tindrel [play] [--window] [--scale N] [--from ORDER|TITLE] [--to ORDER|TITLE] [--loop]\n"
     "        [--mute] [--gentle] [--stats] [--data DIR]\n"
     "    Plays the show with its music, full screen unless --window.\n"
     "    --window           a window instead of the full screen\n"
     "    --scale N          the frame N times 600 x 300 in a window (1 to 16); by default the\n"
     "                       largest whole scale that fits the screen\n"
     "    --from ORDER|TITLE start at that order, or at the first order of the scene titled so\n"
     "    --to ORDER|TITLE   end after that order, or after the last order of that scene\n"
     "    --loop             play from..to again and again until Escape or q\n"
     "    --mute             the same timing without sound\n"
     "    --gentle           white flashes and strobes at most 40 % of full white\n"
     "    --stats            one line of frame pacing on standard error at the end\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"studio", Mode::studio, studio,
     "tindrel studio [--source DIR] [--window] [--scale N] [--from ORDER|TITLE] [--to ORDER|TITLE]\n"
     "        [--loop] [--mute] [--stats]\n"
     "    Plays the show from its readable sources, with the player's keys: a saved source is\n"
     "    rebuilt and its scenes shown anew where the show is, paused or not. A mistake in a\n"
     "    source is printed as FILE:LINE: what and shown over the picture; the show goes on.\n"
     "    --source DIR       the asset sources (default: the assets/ folder of the source tree\n"
     "                       the program was built from)\n"
     "    the other options  as for play\n"},
    {"still", Mode::still, still,
     "tindrel still ORDER ROW [SECONDS] OUT.png [--rgba] [--data DIR]\n"
     "    Writes the frame an uninterrupted play presents when the music is at ORDER and ROW,\n"
     "    with the clock at SECONDS; without SECONDS, the music's own time at that position.\n"
     "    OUT.png may be - for standard output.\n"
     "    --rgba             write the alpha channel too\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"capture", Mode::capture, capture,
     "tindrel capture DIR [--fps N] [--from ORDER|TITLE] [--to ORDER|TITLE] [--audio-only]\n"
     "        [--video FILE.mp4 [--video-codec h264|vp9|av1] [--keep-frames]] [--overwrite] [--gentle]\n"
     "        [--data DIR]\n"
     "    Renders the show frame-exact to DIR/frame-NNNNNN.png and its music to DIR/music.wav.\n"
     "    A DIR that holds the frames of an earlier capture is refused unless --overwrite.\n"
     "    --fps N            frames a second, 1 to 1000 (default 60)\n"
     "    --from, --to       the orders rendered, as for play\n"
     "    --audio-only       the music alone, DIR/music.wav\n"
     "    --video FILE.mp4   frames and music into one H.264/AAC file through ffmpeg; DIR is left\n"
     "                       as it was\n"
     "    --video-codec C    h264 (the default), or vp9 or av1 for the web; a FILE.webm gets Opus\n"
     "                       sound instead of AAC\n"
     "    --keep-frames      with --video: the frames and music.wav go to DIR as well\n"
     "    --overwrite        first remove the frames and music.wav of an earlier capture from DIR\n"
     "    --gentle           white flashes and strobes at most 40 % of full white\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"sheet", Mode::sheet, sheet,
     "tindrel sheet OUT.png [--data DIR]\n"
     "    Writes a contact sheet: one labelled frame from each scene.\n"
     "    OUT.png may be - for standard output.\n"
     "    --data DIR         read the show's files from DIR\n"},
    {"convert", Mode::convert, convert,
     "tindrel convert IN OUT.png [--rgba]\n"
     "    Decodes a picture the show can load (.pcx, .tex) and writes it as PNG.\n"
     "    OUT.png may be - for standard output.\n"
     "    --rgba             write the alpha channel too\n"},
};

// Which commands each option means something to.
struct Option {
    const char* name;
    bool takesValue;
    unsigned commands;
};

const Option options[] = {
    {"--window", false, play | studio},
    {"--scale", true, play | studio},
    {"--from", true, play | capture | studio},
    {"--to", true, play | capture | studio},
    {"--loop", false, play | studio},
    {"--mute", false, play | studio},
    {"--stats", false, play | studio},
    {"--gentle", false, play | capture},
    {"--source", true, studio},
    {"--rgba", false, still | convert},
    {"--fps", true, capture},
    {"--audio-only", false, capture},
    {"--video", true, capture},
    {"--video-codec", true, capture},
    {"--keep-frames", false, capture},
    {"--overwrite", false, capture},
    {"--data", true, play | still | capture | sheet},
};

const char* const keysHelp =
    "Keys while the show plays:\n"
    "    q                  quit\n"
    "    Space              pause and resume\n"
    "    Right, Left        one order forward, back\n"
    "    PageDown, PageUp   the first row of the next, the previous scene\n"
    "    Home               the start\n"
    "    f, double-click    full screen or a window\n"
    "    o                  on-screen display: order:row, mm:ss, the scene's title, frames per second\n"
    "    m                  mute and unmute\n"
    "    h, F1              show the keys\n"
    "    Escape             end the running part of a scene; held, end the show\n";

const Command* commandNamed(std::string_view name) {
    for (const Command& c : commands)
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
    for (const Command& c : commands)
        if (option.commands & c.use) names += (names.empty() ? "" : ", ") + std::string(c.name);
    return names;
}

std::string sceneTitles() {
    std::string titles;
    for (const TimetableRow& row : Timetable::rows()) titles += (titles.empty() ? "" : ", ") + std::string(row.title);
    return titles;
}

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

// A title as typed: the shell may have been asked to keep the spaces, or dashes stand for them
// (the form completion offers); either way the case and a leading "the" are not the point.
std::string titleKey(std::string_view text) {
    std::string key;
    for (const char c : text)
        key += c == '-' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.starts_with("the ")) key.erase(0, 4);
    return key;
}

const TimetableRow* sceneTitled(std::string_view text) {
    const std::string key = titleKey(text);
    for (const TimetableRow& row : Timetable::rows())
        if (titleKey(row.title) == key) return &row;
    return nullptr;
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

// An order by its number, or a scene by its title: where that scene starts for --from, where it
// ends for --to. Whether the order exists is the music's to say.
int toOrder(const std::string& text, const std::string& what, bool sceneEnd) {
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) return toInt(text, what, 0, 65535);
    const TimetableRow* scene = sceneTitled(text);
    if (!scene)
        throw CommandLine::UsageError(what + " takes an order or a scene's title, not \"" + text +
                                      "\"; the scenes are " + sceneTitles());
    return sceneEnd ? scene->orders.last : scene->orders.first;
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

// A leading dash and a digit is a number (a negative SECONDS), not an option.
bool looksLikeOption(const std::string& a) { return a.size() > 1 && a[0] == '-' && (a[1] < '0' || a[1] > '9'); }

} // namespace

std::string CommandLine::help(const std::string& command) {
    if (const Command* c = commandNamed(command)) {
        std::string text = std::string("usage: ") + c->help;
        if (c->mode == Mode::play || c->mode == Mode::studio) text += '\n' + std::string(keysHelp);
        if (c->mode == Mode::play || c->mode == Mode::capture || c->mode == Mode::studio)
            text += '\n' + wrapped("TITLE is one of: " + sceneTitles() + '.', 92);
        return text;
    }
    std::string text = "tindrel: a real-time audiovisual show\n\nusage:\n";
    for (const Command& c : commands) text += std::string("  ") + c.help;
    text += "  tindrel help [COMMAND] | COMMAND --help\n"
            "    The help of one command.\n"
            "  tindrel --version\n\n";
    text += keysHelp;
    text += '\n' + wrapped("TITLE is a scene's title, in any case, with or without its leading \"the\", with "
                            "dashes for spaces if you like: " +
                                sceneTitles() + '.',
                            92);
    return text;
}

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine cl;
    struct Given {
        const Option* option;
        std::string value;
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
        return cl;
    }
    if (!unknown.empty()) throw UsageError("unknown option " + unknown);

    const Command* command = positional.empty() ? commandNamed("play") : commandNamed(positional[0]);
    if (!command) throw UsageError("unknown command " + positional[0]);
    cl.mode = command->mode;
    if (!positional.empty()) positional.erase(positional.begin());

    bool videoCodecGiven = false;
    for (const Given& g : given) {
        const std::string name = g.option->name;
        if (!(g.option->commands & command->use))
            throw UsageError(name + " is not an option of " + command->name + "; it goes with " +
                             commandsTaking(*g.option));
        if (name == "--window") cl.window = true;
        else if (name == "--scale") cl.scale = toInt(g.value, name, 1, 16);
        else if (name == "--from") cl.from = toOrder(g.value, name, false);
        else if (name == "--to") cl.to = toOrder(g.value, name, true);
        else if (name == "--loop") cl.loop = true;
        else if (name == "--mute") cl.mute = true;
        else if (name == "--stats") cl.stats = true;
        else if (name == "--gentle") cl.gentle = true;
        else if (name == "--rgba") cl.rgba = true;
        else if (name == "--fps") cl.fps = toInt(g.value, name, 1, 1000);
        else if (name == "--audio-only") cl.audioOnly = true;
        else if (name == "--video") cl.video = g.value;
        else if (name == "--video-codec") {
            cl.videoCodec = toVideoCodec(g.value);
            videoCodecGiven = true;
        }
        else if (name == "--keep-frames") cl.keepFrames = true;
        else if (name == "--overwrite") cl.overwrite = true;
        else if (name == "--data") cl.dataDir = g.value;
        else if (name == "--source") cl.source = g.value;
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
        expect(1, 1);
        cl.output = positional[0];
        if (cl.audioOnly && !cl.video.empty()) throw UsageError("--audio-only and --video do not go together");
        if (cl.keepFrames && cl.video.empty()) throw UsageError("--keep-frames goes with --video");
        if (videoCodecGiven && cl.video.empty()) throw UsageError("--video-codec goes with --video");
        if (cl.videoCodec == "h264" && OfflineRender::isWebm(cl.video))
            throw UsageError("h264 does not go in a .webm file; --video-codec vp9 or av1 does");
        break;
    case Mode::sheet:
        expect(1, 1);
        cl.output = positional[0];
        break;
    default:  // convert
        expect(2, 2);
        cl.input = positional[0];
        cl.output = positional[1];
        break;
    }
    if (cl.to >= 0 && cl.to < cl.from) throw UsageError("--to must not come before --from");
    return cl;
}

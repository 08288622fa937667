#include "app/CommandLine.h"

#include <charconv>

namespace {

int toInt(const std::string& text, const std::string& what, int lo, int hi) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < lo || value > hi)
        throw CommandLine::UsageError(what + " must be a whole number from " + std::to_string(lo) + " to " +
                                      std::to_string(hi) + ", not \"" + text + "\"");
    return value;
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

} // namespace

const char* CommandLine::usage() {
    return "usage:\n"
           "  tindrel [--window] [--scale N] [--from ORDER] [--loop] [--mute] [--data DIR]\n"
           "      plays the show, full screen unless --window (a window N times 600 x 300, default 2);\n"
           "      --from starts the music at that order, --loop plays again until Escape, --mute\n"
           "      keeps the timing without sound. Escape, closing the window or Ctrl-C ends it.\n"
           "  tindrel still ORDER ROW SECONDS OUT.png [--rgba] [--data DIR]\n"
           "      writes the frame shown when the music is at ORDER and ROW and the clock at SECONDS\n"
           "  tindrel capture DIR [--fps N] [--from ORDER] [--to ORDER] [--video FILE.mp4] [--audio-only]\n"
           "      renders the show frame-exact to DIR/frame-NNNNNN.png and DIR/music.wav (default 60 fps);\n"
           "      --video encodes frames and music into one H.264/AAC file with ffmpeg instead of PNGs;\n"
           "      --audio-only renders the music alone\n"
           "  tindrel sheet OUT.png [--data DIR]\n"
           "      a contact sheet: one labelled frame from each of the nine scenes\n"
           "  tindrel convert IN OUT.png\n"
           "      decodes any picture the show can load (.pcx, .tex) and writes it as PNG\n"
           "  tindrel --help | --version\n";
}

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine cl;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") cl.mode = Mode::help;
        else if (a == "--version") cl.mode = Mode::version;
        else if (a == "--window") cl.window = true;
        else if (a == "--scale") cl.scale = toInt(value(), "--scale", 1, 16);
        else if (a == "--from") cl.from = toInt(value(), "--from", 0, 255);
        else if (a == "--to") cl.to = toInt(value(), "--to", 0, 255);
        else if (a == "--fps") cl.fps = toInt(value(), "--fps", 1, 1000);
        else if (a == "--data") cl.dataDir = value();
        else if (a == "--rgba") cl.rgba = true;
        else if (a == "--audio-only") cl.audioOnly = true;
        else if (a == "--video") cl.video = value();
        else if (a == "--loop") cl.loop = true;
        else if (a == "--mute") cl.mute = true;
        else if (a == "--stats") cl.stats = true;
        else if (a.size() > 1 && a[0] == '-' && (a[1] < '0' || a[1] > '9')) throw UsageError("unknown option " + a);
        else positional.push_back(a);
    }
    if (cl.mode == Mode::help || cl.mode == Mode::version) return cl;

    auto expect = [&](std::size_t n, const char* form) {
        if (positional.size() != n) throw UsageError(std::string("expected: tindrel ") + form);
    };
    if (positional.empty()) {
        cl.mode = Mode::play;
    } else if (positional[0] == "still") {
        expect(5, "still ORDER ROW SECONDS OUT.png");
        cl.mode = Mode::still;
        cl.order = toInt(positional[1], "ORDER", 0, 65535);
        cl.row = toInt(positional[2], "ROW", 0, 65535);
        cl.seconds = toSeconds(positional[3]);
        cl.output = positional[4];
    } else if (positional[0] == "capture") {
        expect(2, "capture DIR");
        cl.mode = Mode::capture;
        cl.output = positional[1];
        if (cl.to >= 0 && cl.to < cl.from) throw UsageError("--to must not come before --from");
        if (cl.audioOnly && !cl.video.empty()) throw UsageError("--audio-only and --video do not go together");
    } else if (positional[0] == "sheet") {
        expect(2, "sheet OUT.png");
        cl.mode = Mode::sheet;
        cl.output = positional[1];
    } else if (positional[0] == "convert") {
        expect(3, "convert IN OUT.png");
        cl.mode = Mode::convert;
        cl.input = positional[1];
        cl.output = positional[2];
    } else {
        throw UsageError("unknown command " + positional[0]);
    }
    return cl;
}

#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/ContactSheet.h"
#include "app/Subprocess.h"
#include "app/LivePlay.h"
#include "app/Studio.h"
#include "app/StudioError.h"
#include "app/OfflineRender.h"
#include "app/ShowSources.h"
#include "engine3d/MeshGridView.h"
#include "platform/Interrupt.h"
#include "platform/Module.h"
#include "platform/MusicShape.h"
#include "raster/AssetFile.h"
#include "raster/DataFolder.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "raster/OutputFile.h"
#include "raster/PngWriter.h"
#include "show/Scene.h"
#include "show/Timetable.h"
#include "tools/SourcePreview.h"

#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>
#include <memory>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

bool holdsShow(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "Super.xm", ec);
}

// The installed data, found from where the program itself is, so an installed copy works from
// any folder and wherever the installation was moved.
fs::path besideProgram() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path().parent_path() / "share" / "tindrel";
}

// --data, else the working directory when it holds the show, else the installation next to the
// program, else the build tree's data, else the configured installation. What the user typed
// comes before what happens to lie around. Names in messages stay relative to it.
fs::path dataDirectory(const std::string& option) {
    if (!option.empty()) return option;
    if (holdsShow(".")) return {};
    for (const fs::path& candidate : {besideProgram(), fs::path(TINDREL_BUILD_DATA_DIR)})
        if (!candidate.empty() && holdsShow(candidate)) return candidate;
    return TINDREL_INSTALL_DATA_DIR;
}

// A position the command line names that the music does not have: a usage error, but one only
// the loaded module can find.
class OutOfRange : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string clockTime(double seconds) {
    const int whole = static_cast<int>(seconds);
    return std::to_string(whole / 60) + ":" + (whole % 60 < 10 ? "0" : "") + std::to_string(whole % 60);
}

// --from or --to against the music: a time becomes the order and row playing then.
void resolvePlace(const MusicShape& music, const std::string& what, const std::string& text,
                  const std::optional<double>& time, int& order, int& row) {
    if (time) music.rowAt(*time, order, row);
    if (order >= music.orderCount())
        throw OutOfRange(CommandLine::noSuchPlace(what, text, "the song's orders are 0 to " +
                                                                  std::to_string(music.orderCount() - 1) +
                                                                  " and it is " + clockTime(music.endSeconds()) +
                                                                  " long"));
}

// Checks the orders and rows asked for against the music, and gives a still without SECONDS
// the time an uninterrupted play reaches its position, by the module's own speeds and tempos.
// The music's shape, when it was read, for what comes next.
std::optional<MusicShape> checkPositions(CommandLine& cl, const DataFolder& data) {
    const bool still = cl.mode == CommandLine::Mode::still;
    // Playing or capturing from the start needs no look: the display still opens first.
    if (!still && cl.from == 0 && cl.to < 0 && !cl.fromTime && !cl.toTime) return std::nullopt;
    MusicShape music = MusicShape::load(data, "Super.xm");
    if (still) {
        if (cl.order >= music.orderCount())
            throw OutOfRange("order " + std::to_string(cl.order) + " is past the song's end; its orders are 0 to " +
                             std::to_string(music.orderCount() - 1));
        const int rows = music.rowsIn(cl.order);
        if (cl.row >= rows)
            throw OutOfRange("row " + std::to_string(cl.row) + " is past the end of order " + std::to_string(cl.order) +
                             ", whose rows are 0 to " + std::to_string(rows - 1));
        if (!cl.seconds) cl.seconds = music.secondsAt(cl.order, cl.row);
        return music;
    }
    resolvePlace(music, "--from", cl.fromText, cl.fromTime, cl.from, cl.fromRow);
    if (cl.to >= 0 || cl.toTime) resolvePlace(music, "--to", cl.toText, cl.toTime, cl.to, cl.toRow);
    if (cl.to >= 0 && (cl.to < cl.from || (cl.to == cl.from && cl.toRow >= 0 && cl.toRow < cl.fromRow)))
        throw CommandLine::UsageError("--to must not come before --from");
    return music;
}

// Said before anything is drawn, and in words: the writer would only find out at the end, and
// say less. A stream (standard output, a FIFO, a device) is not a file name to check.
void checkPicturePath(const std::string& path) {
    if (OutputFile::isStandardOutput(path)) return;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) throw std::runtime_error(path + " is a folder; name the PNG file to write in it");
    if (fs::exists(status) && !fs::is_regular_file(status)) return;
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".png") throw std::runtime_error(path + ": the picture's name must end in .png");
}

int runStill(const CommandLine& cl, const DataFolder& data, const MusicShape& music) {
    const auto frame = OfflineRender::still(data, music, cl.order, cl.row, cl.seconds.value_or(0.0));
    if (!frame) {
        std::cerr << "tindrel: the show draws no frame at order " << cl.order << " row " << cl.row << '\n';
        return 1;
    }
    // A still is the creator's preview, looked at and drawn again: compressing it as hard as a
    // picture kept for good would cost more than building and drawing its scene.
    PngWriter::write(cl.output, *frame, cl.rgba ? PngWriter::Channels::rgba : PngWriter::Channels::rgb,
                     PngWriter::fast);
    return 0;
}

int runCapture(const CommandLine& cl, const DataFolder& data) {
    Interrupt::install();
    OfflineRender::CaptureOptions o;
    o.data = data;
    o.directory = cl.output;
    o.fps = cl.fps;
    o.from = cl.from;
    o.fromRow = cl.fromRow;
    o.to = cl.to;
    o.toRow = cl.toRow;
    o.videoScale = cl.videoScale;
    o.audioOnly = cl.audioOnly;
    o.video = cl.video;
    o.videoCodec = cl.videoCodec;
    o.keepFrames = cl.keepFrames;
    o.overwrite = cl.overwrite;
    o.progress = true;
    if (!o.video.empty() && !Subprocess::available("ffmpeg")) {
        std::cerr << "tindrel: --video needs ffmpeg, which is not installed; on Debian: apt-get install ffmpeg\n";
        return 1;
    }
    // A signal stops the capture cleanly: every frame written is whole, the music is saved to
    // where it got, and the status says it did not finish (128 + SIGINT, as shells report it).
    return OfflineRender::capture(o).interrupted ? 130 : 0;
}

int runSheet(const CommandLine& cl, const DataFolder& data) {
    PngWriter::write(cl.output, *ContactSheet::make(data));
    return 0;
}

int runConvert(const CommandLine& cl) {
    // The input is the user's own file, named from the working directory.
    // A source is built as the show's data would be and decoded from that: the same pixels.
    std::unique_ptr<Image> image;
    if (SourcePreview::previews(cl.input)) {
        image = SourcePreview::picture(cl.input);
    } else {
        image = Image::load(DataFolder(), cl.input.c_str());
    }
    PngWriter::write(cl.output, *image, cl.rgba ? PngWriter::Channels::rgba : PngWriter::Channels::rgb);
    return 0;
}

bool picturesToStandardOutput(const CommandLine& cl) {
    const bool picture =
        cl.mode == CommandLine::Mode::still || cl.mode == CommandLine::Mode::sheet || cl.mode == CommandLine::Mode::convert;
    return picture && OutputFile::isStandardOutput(cl.output);
}

} // namespace

int runProgram(const std::vector<std::string>& args) {
    CommandLine cl;
    try {
        cl = CommandLine::parse(args);
    } catch (const CommandLine::UsageError& e) {
        std::cerr << "tindrel: " << e.what() << "\nsee tindrel --help\n";
        return 2;
    }

    // Standard output carries the picture when it is the output, and nothing else.
    MeshGridView::messagesToStandardError(picturesToStandardOutput(cl));
    try {
        switch (cl.mode) {
        case CommandLine::Mode::help:
            std::cout << CommandLine::help(cl.helpTopic);
            return 0;
        case CommandLine::Mode::listScenes:
            for (const TimetableRow& row : Timetable::rows()) std::cout << row.title << '\n';
            return 0;
        case CommandLine::Mode::version:
            std::cout << "tindrel " TINDREL_VERSION "\n";
            return 0;
        case CommandLine::Mode::convert:
            checkPicturePath(cl.output);
            return runConvert(cl);
        case CommandLine::Mode::newShow:
            ShowSources::makeNewShow(cl.output);
            std::cout << "a new show in " << cl.output << "; play it with: tindrel studio --source " << cl.output
                      << '\n';
            return 0;
        case CommandLine::Mode::still:
        case CommandLine::Mode::sheet:
            checkPicturePath(cl.output);
            break;
        default:
            break;
        }
        std::optional<Studio> studio;
        if (cl.mode == CommandLine::Mode::studio) studio.emplace(cl.source);
        const DataFolder data = studio ? studio->data() : DataFolder(dataDirectory(cl.dataDir));
        const std::optional<MusicShape> music = checkPositions(cl, data);
        Scene::setGentleFlashes(cl.gentle);
        switch (cl.mode) {
        case CommandLine::Mode::still:
            return runStill(cl, data, *music);
        case CommandLine::Mode::capture:
            return runCapture(cl, data);
        case CommandLine::Mode::sheet:
            return runSheet(cl, data);
        default: {
            const LivePlay::Options live{.fullscreen = !cl.window,
                                         .scale = cl.scale,
                                         .from = cl.from,
                                         .fromRow = cl.fromRow,
                                         .to = cl.to,
                                         .toRow = cl.toRow,
                                         .loop = cl.loop,
                                         .mute = cl.mute,
                                         .volume = cl.volume,
                                         .stats = cl.stats,
                                         .data = data};
            if (studio) studio->play(live);
            else LivePlay::run(live);
            return 0;
        }
        }
    } catch (const CommandLine::UsageError& e) {
        std::cerr << "tindrel: " << e.what() << "\nsee tindrel --help\n";
        return 2;
    } catch (const StudioError& e) {
        std::cerr << "tindrel: " << e.what() << '\n';
        return 2;
    } catch (const LoadError& e) {
        // Standard output carries the picture when it is the output, and nothing else.
        (picturesToStandardOutput(cl) ? std::cerr : std::cout) << e.what() << std::endl;
        return 255;
    } catch (const OutOfRange& e) {
        std::cerr << "tindrel: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "tindrel: " << e.what() << '\n';
        return 1;
    }
}

#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/ContactSheet.h"
#include "app/Subprocess.h"
#include "app/LivePlay.h"
#include "app/Studio.h"
#include "app/OfflineRender.h"
#include "platform/Interrupt.h"
#include "platform/Module.h"
#include "raster/AssetFile.h"
#include "raster/Image.h"
#include "raster/LoadError.h"
#include "raster/OutputFile.h"
#include "raster/PngWriter.h"
#include "show/Scene.h"
#include "show/Timetable.h"

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

void checkOrder(const Module& music, int order, const std::string& what) {
    if (order >= music.orderCount())
        throw OutOfRange(what + " " + std::to_string(order) + " is past the song's end; its orders are 0 to " +
                         std::to_string(music.orderCount() - 1));
}

// Checks the orders and rows asked for against the music, and gives a still without SECONDS
// the time an uninterrupted play reaches its position, by the module's own speeds and tempos.
void checkPositions(CommandLine& cl) {
    const bool still = cl.mode == CommandLine::Mode::still;
    // Playing or capturing from the start needs no look: the display still opens first.
    if (!still && cl.from == 0 && cl.to < 0) return;
    const auto music = Module::loadTimeline("Super.xm");
    if (still) {
        checkOrder(*music, cl.order, "order");
        const int rows = music->rowsIn(cl.order);
        if (cl.row >= rows)
            throw OutOfRange("row " + std::to_string(cl.row) + " is past the end of order " + std::to_string(cl.order) +
                             ", whose rows are 0 to " + std::to_string(rows - 1));
        if (!cl.seconds) {
            music->seek(cl.order, cl.row);
            cl.seconds = music->positionSeconds();
        }
    }
    checkOrder(*music, cl.from, "--from");
    if (cl.to >= 0) checkOrder(*music, cl.to, "--to");
}

// The sheet's frames are placed by the timetable and need no music, but a damaged module is
// worth the same warning here as where the music plays; a missing one is not the sheet's concern.
void checkMusicForSheet() {
    try {
        Module::loadTimeline("Super.xm");
    } catch (const LoadError&) {
    }
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

int runStill(const CommandLine& cl) {
    const auto frame = OfflineRender::still(cl.order, cl.row, cl.seconds.value_or(0.0));
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

int runCapture(const CommandLine& cl) {
    Interrupt::install();
    OfflineRender::CaptureOptions o;
    o.directory = cl.output;
    o.fps = cl.fps;
    o.from = cl.from;
    o.to = cl.to;
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

int runSheet(const CommandLine& cl) {
    PngWriter::write(cl.output, *ContactSheet::make());
    return 0;
}

int runConvert(const CommandLine& cl) {
    // The input is the user's own file, named from the working directory.
    AssetFile::setRoot({});
    const auto image = Image::load(cl.input.c_str());
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
        case CommandLine::Mode::still:
        case CommandLine::Mode::sheet:
            checkPicturePath(cl.output);
            break;
        default:
            break;
        }
        std::optional<Studio> studio;
        if (cl.mode == CommandLine::Mode::studio) studio.emplace(cl.source);
        else AssetFile::setRoot(dataDirectory(cl.dataDir));
        checkPositions(cl);
        Scene::setGentleFlashes(cl.gentle);
        switch (cl.mode) {
        case CommandLine::Mode::still:
            return runStill(cl);
        case CommandLine::Mode::capture:
            return runCapture(cl);
        case CommandLine::Mode::sheet:
            checkMusicForSheet();
            return runSheet(cl);
        default: {
            const LivePlay::Options live{.fullscreen = !cl.window,
                                         .scale = cl.scale,
                                         .from = cl.from,
                                         .to = cl.to,
                                         .loop = cl.loop,
                                         .mute = cl.mute,
                                         .stats = cl.stats};
            if (studio) studio->play(live);
            else LivePlay::run(live);
            return 0;
        }
        }
    } catch (const CommandLine::UsageError& e) {
        std::cerr << "tindrel: " << e.what() << "\nsee tindrel --help\n";
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

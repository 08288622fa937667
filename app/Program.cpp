#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/ContactSheet.h"
#include "app/Subprocess.h"
#include "app/LivePlay.h"
#include "app/Studio.h"
#include "app/StudioError.h"
#include "app/OfflineRender.h"
#include "app/ShowLoad.h"
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
#include "show/ShowFile.h"
#include "show/ShowPlan.h"
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

// A folder holds a show when it has its show file, or, made before shows had files, the
// music of the show the program was built with.
bool holdsShow(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / ShowFile::fileName, ec) || fs::is_regular_file(dir / ShowFile::shipped().music, ec);
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

// The folder chosen holds no show: said with the folder and the way to name another, rather than
// as the music that could not be opened in a folder the user never named. Anything under the
// names is the loaders' to refuse in their own words.
void checkDataFolder(const fs::path& root) {
    const fs::path dir = root.empty() ? fs::path(".") : root;
    std::error_code ec;
    for (const fs::path& name : {fs::path(ShowFile::fileName), fs::path(ShowFile::shipped().music)})
        if (fs::exists(fs::symlink_status(dir / name, ec))) return;
    const std::string folder = root.empty() ? "the working directory" : "the data folder " + root.string();
    throw LoadError(ShowFile::fileName, (fs::is_directory(dir, ec) ? "no show in " + folder : folder + " does not exist") +
                                            "; name the show's data folder with --data DIR");
}

// A still without SECONDS is at the time an uninterrupted play reaches its position.
void checkStill(CommandLine& cl, const MusicShape& music) {
    using ShowLoad::OutOfRange;
    const std::string order = std::to_string(cl.order);
    if (cl.order >= music.orderCount())
        throw OutOfRange("order " + order + " is past the song's end; its orders are 0 to " +
                         std::to_string(music.orderCount() - 1));
    if (!music.reaches(cl.order)) throw OutOfRange("order " + order + " is never played: the song passes it by");
    const int rows = music.rowsIn(cl.order);
    if (cl.row >= rows)
        throw OutOfRange("row " + std::to_string(cl.row) + " is past the end of order " + order +
                         ", whose rows are 0 to " + std::to_string(rows - 1));
    if (!cl.seconds) cl.seconds = music.secondsAt(cl.order, cl.row);
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

int runStill(const CommandLine& cl, const ShowPlan& show) {
    const auto frame = OfflineRender::still(show, cl.order, cl.row, cl.seconds.value_or(0.0));
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

int runCapture(const CommandLine& cl, const ShowPlan& show) {
    OfflineRender::CaptureOptions o;
    o.directory = cl.output;
    o.fps = cl.fps;
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
    return OfflineRender::capture(show, o).interrupted ? 130 : 0;
}

int runSheet(const CommandLine& cl, const ShowPlan& show) {
    PngWriter::write(cl.output, *ContactSheet::make(show));
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
        // Read before anything opens, so a wrong line is said even where no display can open.
        cl = CommandLine::parse(args, ConfigFile::read(ConfigFile::defaultPath()));
    } catch (const CommandLine::ConfigError& e) {
        std::cerr << e.what() << '\n';
        return 2;
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
        case CommandLine::Mode::listScenes: {
            const ShowFile show = ShowFile::load(DataFolder(dataDirectory(cl.dataDir)));
            for (const TimetableRow& row : show.timetable.rows()) std::cout << row.title << '\n';
            return 0;
        }
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
        if (!studio) checkDataFolder(data.root());
        // The show file first: it is small, and a mistake in it is the maker's to hear of first.
        const ShowFile file = ShowFile::load(data);
        std::optional<ShowPlan> show;
        auto loaded = [&]() -> ShowPlan& {
            if (!show) {
                show.emplace(ShowLoad::load(data, file));
                show->range = ShowLoad::range(cl, *show);
                show->viewing = {.gentle = cl.gentle, .mute = cl.mute, .volume = cl.volume};
            }
            return *show;
        };
        switch (cl.mode) {
        case CommandLine::Mode::still:
            checkStill(cl, loaded().shape);
            return runStill(cl, loaded());
        case CommandLine::Mode::capture:
            // A signal while the show loads stops the capture as one during it does.
            Interrupt::install();
            return runCapture(cl, loaded());
        case CommandLine::Mode::sheet:
            return runSheet(cl, loaded());
        default: {
            // Playing from the start needs no look before the display opens, which comes first.
            if (cl.from.given() || cl.to.given()) loaded();
            const LivePlay::Options live{
                .fullscreen = !cl.window, .scale = cl.scale, .stats = cl.stats, .title = file.windowTitle};
            if (studio) studio->play(loaded, live);
            else LivePlay::run(loaded, live);
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
    } catch (const ShowLoad::OutOfRange& e) {
        std::cerr << "tindrel: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "tindrel: " << e.what() << '\n';
        return 1;
    }
}

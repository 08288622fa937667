// The studio's build child: each data file made, its reads recorded, and both reported.

#include "app/StudioBuild.h"

#include "platform/SourceFiles.h"
#include "tools/AssetBuild.h"
#include "tools/InsideWriter.h"
#include "tools/ReadRecord.h"

#include <signal.h>
#include <sys/prctl.h>

#include <cinttypes>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What a build read, named as the record names it: relative to the sources when it lies there
// (by the path given or by the real one), else absolute. A file outside that was absent is left
// out: the renderer looks for many that never come, and its own caches appear later.
std::vector<StudioManifest::Read> readsOf(const std::vector<std::string>& paths, const fs::path& sources) {
    std::error_code ec;
    const std::string given = fs::absolute(sources, ec).lexically_normal().string();
    const std::string real = fs::canonical(sources, ec).string();
    std::vector<StudioManifest::Read> reads;
    for (const std::string& path : paths) {
        const std::string normal = fs::path(path).lexically_normal().string();
        std::string name = normal;
        for (const std::string& root : {given, real}) {
            const std::string prefix = root.ends_with('/') ? root : root + '/';
            if (!root.empty() && normal.starts_with(prefix)) {
                name = normal.substr(prefix.size());
                break;
            }
        }
        const auto digest = StudioManifest::digestOf(normal);
        if (!digest && fs::path(name).is_absolute()) continue;
        reads.push_back({name, digest});
    }
    return reads;
}

std::string oneLine(std::string message) {
    // Tabs and line breaks in a message would split the report.
    for (char& c : message)
        if (c == '\n' || c == '\t') c = ' ';
    return message;
}

} // namespace

namespace StudioBuild {

int childMain(int argc, char** argv) {
    // Orphaned, a build has no one to tell: it ends with the studio however that ends.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc < 4) return 2;
    const fs::path sources = argv[2], cache = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string output = argv[i];
        std::string message;
        ReadRecord::start();
        std::vector<std::uint8_t> bytes;
        try {
            bytes = AssetBuild::make(sources, output);
        } catch (const std::exception& e) {
            message = e.what();
            if (message.empty()) message = output + ": failed";
        }
        const std::vector<StudioManifest::Read> reads = readsOf(ReadRecord::paths(), sources);
        ReadRecord::stop();
        // Read through a link the walk does not follow: refused as the walk refuses it.
        for (const StudioManifest::Read& read : reads) {
            if (!message.empty() || fs::path(read.name).is_absolute()) continue;
            if (const auto refused = SourceFiles::refusedLink(sources, read.name)) message = *refused;
        }
        if (message.empty()) {
            try {
                InsideWriter::write(cache, output, bytes.data(), bytes.size());
            } catch (const std::exception& e) {
                message = e.what();
            }
        }
        const std::string name = StudioManifest::escape(output);
        for (const StudioManifest::Read& read : reads) {
            char digest[24] = "-";
            if (read.digest) std::snprintf(digest, sizeof digest, "%016" PRIx64, *read.digest);
            std::printf("read\t%s\t%s\t%s\n", name.c_str(), StudioManifest::escape(read.name).c_str(), digest);
        }
        if (message.empty()) std::printf("made\t%s\n", name.c_str());
        else std::printf("failed\t%s\t%s\n", name.c_str(), oneLine(message).c_str());
        std::fflush(stdout);
    }
    return 0;
}

} // namespace StudioBuild

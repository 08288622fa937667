#include "app/StudioManifest.h"

#include "platform/SourceFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A new layout of the record or of the key starts every cache afresh.
constexpr const char* header = "tindrel studio manifest 1";
// The record lists some dozens of files; anything near this is not ours.
constexpr std::uintmax_t maxRecordBytes = std::uintmax_t{1} << 20;
// The largest data file the show reads is well under this.
constexpr std::uintmax_t maxDataBytes = std::uintmax_t{64} << 20;

// A regular file of this user's, never through a link, of at most limit bytes.
std::optional<std::string> readOwn(const fs::path& path, std::uintmax_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> bytes;
    struct stat s {};
    if (::fstat(fd, &s) == 0 && S_ISREG(s.st_mode) && s.st_uid == ::geteuid() &&
        static_cast<std::uintmax_t>(s.st_size) <= limit) {
        std::string text;
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0 || text.size() + static_cast<std::size_t>(got) > limit) {
                if (got == 0) bytes = std::move(text);
                break;
            }
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

std::optional<std::uint64_t> fileDigest(const fs::path& path) {
    const auto bytes = readOwn(path, maxDataBytes);
    if (!bytes) return std::nullopt;
    return StudioManifest::digest(*bytes, 0);
}

// The files a picture may draw besides its own: librsvg reads images beside and below the SVG.
// The texts there are other recipes' sources, never an image.
std::vector<std::string> besidePicture(const fs::path& sources, const std::string& svg) {
    const std::string folder = fs::path(svg).parent_path().generic_string();
    std::vector<std::string> names;
    SourceFiles::walk(
        sources / folder,
        [&](const std::string& name) {
            if (!name.ends_with(".txt") && !name.ends_with(".song"))
                names.push_back(folder.empty() ? name : folder + '/' + name);
        },
        [](const std::string&) {});
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::uint64_t StudioManifest::digest(std::string_view bytes, std::uint64_t seed) {
    // FNV-1a: cheap, and 64 bits leave no accidental match between two versions of a file.
    std::uint64_t h = 0xcbf29ce484222325ull ^ seed;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

std::optional<std::uint64_t> StudioManifest::programDigest() {
    // Read as a file, not opened as ours: the installed program belongs to root.
    try {
        return digest(SourceFiles::read("/proc/self/exe", "the program", std::uintmax_t{512} << 20), 0);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

StudioManifest::StudioManifest(fs::path path, std::optional<std::uint64_t> program)
    : path_(std::move(path)), program_(program) {
    const auto text = readOwn(path_, maxRecordBytes);
    if (!text || !program_) return;
    std::istringstream lines(*text);
    std::string line;
    if (!std::getline(lines, line) || line != header) return;
    while (std::getline(lines, line)) {
        // OUTPUT TAB KEY TAB FILE, the digests in hexadecimal.
        const std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos || a == 0) continue;
        std::uint64_t key = 0, file = 0;
        if (std::sscanf(line.c_str() + a + 1, "%" SCNx64, &key) != 1 || std::sscanf(line.c_str() + b + 1, "%" SCNx64, &file) != 1)
            continue;
        entries_[line.substr(0, a)] = {key, file};
    }
}

std::optional<std::uint64_t> StudioManifest::keyOf(const fs::path& sources, const AssetBuild::Recipe& recipe) const {
    if (!program_) return std::nullopt;
    std::vector<std::string> names = recipe.sources;
    if (names.size() == 1 && names.front().ends_with(".svg")) {
        for (std::string& other : besidePicture(sources, names.front()))
            if (other != names.front()) names.push_back(std::move(other));
    }
    std::uint64_t key = digest(recipe.output, *program_);
    try {
        for (const std::string& name : names) {
            // Names and lengths go in too, so bytes moved from one file to the next still tell.
            const std::string bytes = SourceFiles::read(sources / name, name);
            key = digest(name + '\0' + std::to_string(bytes.size()) + '\0', key);
            key = digest(bytes, key);
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return key;
}

bool StudioManifest::fresh(const std::string& output, std::optional<std::uint64_t> key, const fs::path& data) const {
    const auto entry = entries_.find(output);
    if (!key || entry == entries_.end() || entry->second.key != *key) return false;
    const auto file = fileDigest(data / output);
    return file && *file == entry->second.file;
}

void StudioManifest::record(const std::string& output, std::optional<std::uint64_t> key, const fs::path& data) {
    const auto file = fileDigest(data / output);
    if (key && file) entries_[output] = {*key, *file};
    else entries_.erase(output);
}

void StudioManifest::save() const {
    if (!program_) return;
    std::string text = std::string(header) + '\n';
    for (const auto& [output, entry] : entries_) {
        char line[64];
        std::snprintf(line, sizeof line, "\t%016" PRIx64 "\t%016" PRIx64 "\n", entry.key, entry.file);
        text += output + line;
    }
    // Written aside and renamed: a reader never sees half a record, and a link planted under
    // either name is replaced, never written through.
    const fs::path aside = path_.string() + ".new";
    ::unlink(aside.c_str());
    const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (std::size_t at = 0; written && at < text.size();) {
        const ssize_t put = ::write(fd, text.data() + at, text.size() - at);
        if (put < 0 && errno == EINTR) continue;
        written = put > 0;
        if (written) at += static_cast<std::size_t>(put);
    }
    if (fd >= 0 && ::close(fd) != 0) written = false;
    if (written && ::rename(aside.c_str(), path_.c_str()) == 0) return;
    std::fprintf(stderr, "%s: cannot record what the studio built (%s); the next start builds it all again\n",
                 path_.c_str(), std::strerror(errno));
    ::unlink(aside.c_str());
}

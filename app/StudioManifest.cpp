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

namespace fs = std::filesystem;

namespace {

// A new layout of the record starts every cache afresh.
constexpr const char* header = "tindrel studio manifest 2";
// The record lists some dozens of files with what they read; anything near this is not ours.
constexpr std::uintmax_t maxRecordBytes = std::uintmax_t{4} << 20;
// The largest file a build reads (a font, the renderer's caches) is well under this.
constexpr std::uintmax_t maxReadBytes = std::uintmax_t{64} << 20;

// A regular file of this user's, readable to its owner as ours are, never through a link, of at
// most limit bytes.
std::optional<std::string> readOwn(const fs::path& path, std::uintmax_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> bytes;
    struct stat s {};
    if (::fstat(fd, &s) == 0 && S_ISREG(s.st_mode) && s.st_uid == ::geteuid() && (s.st_mode & S_IRUSR) != 0 &&
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

std::string hex(std::optional<std::uint64_t> value) {
    if (!value) return "-";
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIx64, *value);
    return text;
}

std::optional<std::uint64_t> unhex(const std::string& text, bool& ok) {
    if (text == "-") return std::nullopt;
    std::uint64_t value = 0;
    ok = ok && std::sscanf(text.c_str(), "%" SCNx64, &value) == 1;
    return value;
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

std::optional<std::uint64_t> StudioManifest::digestOf(const fs::path& path) {
    // Read as a file, not as ours: fonts and the renderer's settings belong to root. A link
    // inside the sources is followed as the build followed it; the walk's rule for links is
    // the build's to apply.
    try {
        return digest(SourceFiles::read(path, path.string(), maxReadBytes), 0);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::uint64_t> StudioManifest::programDigest() {
    try {
        return digest(SourceFiles::read("/proc/self/exe", "the program", std::uintmax_t{512} << 20), 0);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string StudioManifest::escape(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string StudioManifest::unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned code = 0;
        if (text[i] == '%' && i + 2 < text.size() && std::sscanf(std::string(text.substr(i + 1, 2)).c_str(), "%2X", &code) == 1) {
            out += static_cast<char>(code);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<std::uint64_t> StudioManifest::Digests::of(const std::string& name) {
    const auto known = known_.find(name);
    if (known != known_.end()) return known->second;
    const fs::path path = fs::path(name).is_absolute() ? fs::path(name) : sources_ / name;
    return known_[name] = digestOf(path);
}

StudioManifest::StudioManifest(fs::path path, std::optional<std::uint64_t> program)
    : path_(std::move(path)), program_(program) {
    const auto text = readOwn(path_, maxRecordBytes);
    if (!text || !program_) return;
    std::istringstream lines(*text);
    std::string line;
    if (!std::getline(lines, line) || line != header) return;
    if (!std::getline(lines, line) || line != "program\t" + hex(program_)) return;
    Entry* entry = nullptr;
    bool ok = true;
    while (ok && std::getline(lines, line)) {
        // OUTPUT TAB FILE, then one TAB NAME TAB DIGEST line per file its build read.
        const std::size_t a = line.find('\t', 1);
        if (a == std::string::npos) break;
        if (line.front() == '\t') {
            if (!entry) break;
            entry->reads.push_back({unescape(line.substr(1, a - 1)), unhex(line.substr(a + 1), ok)});
        } else {
            entry = &entries_[unescape(line.substr(0, a))];
            entry->file = unhex(line.substr(a + 1), ok);
        }
    }
    // A record cut short or garbled is none.
    if (!ok || !lines.eof()) entries_.clear();
}

bool StudioManifest::fresh(const AssetBuild::Recipe& recipe, const fs::path& data, Digests& digests) const {
    const auto entry = entries_.find(recipe.output);
    if (entry == entries_.end() || !entry->second.file) return false;
    const std::vector<Read>& reads = entry->second.reads;
    for (const std::string& source : recipe.sources)
        if (std::none_of(reads.begin(), reads.end(), [&](const Read& r) { return r.name == source; })) return false;
    for (const Read& read : reads)
        if (digests.of(read.name) != read.digest) return false;
    const auto bytes = readOwn(data / recipe.output, maxReadBytes);
    return bytes && digest(*bytes, 0) == *entry->second.file;
}

void StudioManifest::record(const std::string& output, std::vector<Read> reads, const fs::path& data) {
    const auto bytes = readOwn(data / output, maxReadBytes);
    entries_[output] = {bytes ? std::optional(digest(*bytes, 0)) : std::nullopt, std::move(reads)};
}

void StudioManifest::failed(const std::string& output, std::vector<Read> reads) {
    entries_[output] = {std::nullopt, std::move(reads)};
}

std::set<fs::path> StudioManifest::outsideFolders() const {
    std::set<fs::path> folders;
    for (const auto& [output, entry] : entries_)
        for (const Read& read : entry.reads)
            if (fs::path(read.name).is_absolute()) folders.insert(fs::path(read.name).parent_path());
    return folders;
}

std::vector<std::string> StudioManifest::readers(const std::string& source) const {
    std::vector<std::string> outputs;
    for (const auto& [output, entry] : entries_)
        if (std::any_of(entry.reads.begin(), entry.reads.end(), [&](const Read& r) { return r.name == source; }))
            outputs.push_back(output);
    return outputs;
}

void StudioManifest::save() const {
    if (!program_) return;
    std::string text = std::string(header) + "\nprogram\t" + hex(program_) + '\n';
    for (const auto& [output, entry] : entries_) {
        text += escape(output) + '\t' + hex(entry.file) + '\n';
        for (const Read& read : entry.reads) text += '\t' + escape(read.name) + '\t' + hex(read.digest) + '\n';
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

#include "tools/SvgPicture.h"

#include "tools/Canvas.h"
#include "tools/ReadRecord.h"

#include <librsvg/rsvg.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace {

struct HandleDeleter {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct ErrorDeleter {
    void operator()(GError* e) const { g_error_free(e); }
};
using Error = std::unique_ptr<GError, ErrorDeleter>;

std::string trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    return std::string(s);
}

// librsvg passes on libxml2's account of a parse error inside its own, e.g. "XML parse error:
// Error domain 1 code 76 on line 12 column 3 of data: Opening and ending tag mismatch: g line 4
// and svg"; the user wants the line and the last part, in the form compilers use.
std::runtime_error failure(const std::string& file, const GError* error) {
    const std::string_view message = error ? error->message : "librsvg gave no reason";
    constexpr std::string_view onLine = "on line ";
    if (const auto at = message.find(onLine); at != std::string_view::npos) {
        std::size_t end = at + onLine.size();
        while (end < message.size() && std::isdigit(static_cast<unsigned char>(message[end]))) ++end;
        const std::string_view line = message.substr(at + onLine.size(), end - at - onLine.size());
        const auto colon = message.find(": ", end);
        if (!line.empty() && colon != std::string_view::npos)
            return std::runtime_error(file + ":" + std::string(line) + ": " + trimmed(message.substr(colon + 2)));
    }
    return std::runtime_error(file + ": " + trimmed(message));
}

std::vector<std::uint8_t> renderHere(const PictureAsset& picture, const std::filesystem::path& sourceDir) {
    const std::string file = picture.source;
    const std::filesystem::path path = sourceDir / picture.source;
    // librsvg would say "I/O error: Error opening file /full/path: ..."; the name alone reads better.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw std::runtime_error(file + ": no such file");

    GError* raw = nullptr;
    const std::unique_ptr<RsvgHandle, HandleDeleter> handle(rsvg_handle_new_from_file(path.c_str(), &raw));
    Error error(raw);
    if (!handle) throw failure(file, error.get());

    Canvas canvas(picture.width, picture.height);
    const RsvgRectangle viewport{0, 0, static_cast<double>(picture.width), static_cast<double>(picture.height)};
    if (!rsvg_handle_render_document(handle.get(), canvas.cr(), &viewport, &raw)) {
        error.reset(raw);
        throw failure(file, error.get());
    }
    return canvas.rgba();
}

bool writeAll(int fd, const void* bytes, std::size_t size) {
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t put = ::write(fd, at, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        at += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// The child's side: a byte saying how it went, then the pixels or the message.
[[noreturn]] void renderForParent(const PictureAsset& picture, const std::filesystem::path& sourceDir, int out,
                                  pid_t parent) {
    // A drawing nobody waits for any more (its parent killed) ends at once.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(1);
    const rlimit cpu{svgBudgetSeconds, svgBudgetSeconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
    try {
        const std::vector<std::uint8_t> rgba = renderHere(picture, sourceDir);
        const char ok = 0;
        // The files the drawing read follow the pixels, each ended by a zero byte.
        std::string read;
        for (const std::string& path : ReadRecord::paths()) read += path + '\0';
        ::_exit(writeAll(out, &ok, 1) && writeAll(out, rgba.data(), rgba.size()) && writeAll(out, read.data(), read.size())
                    ? 0
                    : 1);
    } catch (const std::exception& e) {
        const char failed = 1;
        writeAll(out, &failed, 1);
        writeAll(out, e.what(), std::strlen(e.what()));
    }
    ::_exit(0);
}

} // namespace

// Drawn in a child process held to a processor-time budget: librsvg has no bound of its own on
// what a filter costs (an feTurbulence of 100,000 octaves runs for hours), and a budget on time
// covers every such filter, however its markup is written.
std::vector<std::uint8_t> renderPicture(const PictureAsset& picture, const std::filesystem::path& sourceDir) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::string(picture.source) + ": cannot draw (" + std::strerror(errno) + ")");
    std::fflush(nullptr);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::runtime_error(std::string(picture.source) + ": cannot draw (" + std::strerror(error) + ")");
    }
    if (child == 0) {
        ::close(fds[0]);
        renderForParent(picture, sourceDir, fds[1], parent);
    }
    ::close(fds[1]);
    std::string got;
    char buffer[65536];
    // Processor time bounds the work; this bounds a child that waits instead of working.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(svgBudgetSeconds * 6);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&p, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
        // The pixels and the names of a few hundred files at most: more is no drawing of ours.
        if (got.size() > static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4 + (1u << 20)) {
            ::kill(child, SIGKILL);
            break;
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL))
        throw std::runtime_error(std::string(picture.source) + ": drawing it takes more than " + std::to_string(svgBudgetSeconds) +
                                 " s of processor time (or " + std::to_string(svgBudgetSeconds * 6) +
                                 " s in all); its filters cost too much (feTurbulence's numOctaves, say)");
    const std::size_t size = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4;
    if (!got.empty() && got[0] == 1) throw std::runtime_error(got.substr(1));
    if (got.size() < size + 1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(std::string(picture.source) + ": drawing it failed" +
                                 (WIFSIGNALED(status) ? std::string(" (") + strsignal(WTERMSIG(status)) + ")" : std::string()));
    std::vector<std::string> read;
    for (std::size_t at = size + 1, end; at < got.size() && (end = got.find('\0', at)) != std::string::npos; at = end + 1)
        read.push_back(got.substr(at, end - at));
    ReadRecord::add(read);
    return std::vector<std::uint8_t>(got.begin() + 1, got.begin() + static_cast<std::ptrdiff_t>(size) + 1);
}

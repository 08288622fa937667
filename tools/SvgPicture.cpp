#include "tools/SvgPicture.h"

#include "tools/Canvas.h"

#include <librsvg/rsvg.h>

#include <cctype>
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

} // namespace

std::vector<std::uint8_t> renderPicture(const PictureAsset& picture, const std::filesystem::path& sourceDir) {
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

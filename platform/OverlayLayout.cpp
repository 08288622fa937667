#include "platform/OverlayLayout.h"

#include "platform/TextPanel.h"

#include <algorithm>

namespace {

using Block = OverlayLayout::Block;

// The words of a line that fit in so many characters, with "…" for those left out; empty when
// not even the first word fits.
std::string shortened(const std::string& line, std::size_t room) {
    if (characters(line) <= room) return line;
    std::string kept;
    for (std::size_t start = 0; start < line.size();) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        const std::string longer = line.substr(0, end);
        if (characters(longer) + 2 > room) break;
        kept = longer;
        start = line.find_first_not_of(' ', end);
        if (start == std::string::npos) break;
    }
    return kept.empty() ? kept : kept + " …";
}

// The lines at the largest font from `font` down that fits the room, shortened and cut down
// at the least font when even that does not.
Block fitted(const std::vector<std::string>& lines, int font, int roomWidth, int roomHeight) {
    Block b;
    if (lines.empty() || roomWidth <= 0 || roomHeight <= 0) return b;
    for (b.font = std::max(font, OverlayLayout::leastFont); b.font > OverlayLayout::leastFont; --b.font) {
        const PanelSize size = panelSize(lines, b.font);
        if (size.width <= roomWidth && size.height <= roomHeight) break;
    }
    const PanelFont f = panelFont(b.font);
    const auto room = static_cast<std::size_t>(std::max(0.0, (roomWidth - 2 * f.pad) / f.advance));
    for (const std::string& line : lines) {
        std::vector<std::string> more = b.lines;
        const std::string kept = shortened(line, room);
        if (kept.empty() && !line.empty()) continue;
        more.push_back(kept);
        if (panelSize(more, b.font).height > roomHeight) break;
        b.lines = std::move(more);
    }
    const PanelSize size = panelSize(b.lines, b.font);
    b.width = size.width;
    b.height = size.height;
    return b;
}

} // namespace

OverlayLayout OverlayLayout::of(const Overlay& o, int width, int height) {
    OverlayLayout l;
    const int font = std::max(11, height / 28);
    const int margin = std::max(2, std::min(font, height / 28) / 2);
    // The bar lies along the very foot, thin enough to hide nothing; the scene marks stand twice
    // as high above it.
    l.bar = o.progress >= 0.0 ? std::max(3, height / 90) : 0;
    const int foot = height - 2 * l.bar - margin;
    const int roomWidth = width - 2 * margin;

    l.banner = fitted(o.banner, font, roomWidth, foot - margin);
    l.banner.x = margin;
    l.banner.y = foot - l.banner.height;
    const int bottom = l.banner.lines.empty() ? foot : l.banner.y - margin;

    l.corner = fitted(o.corner, font, roomWidth, bottom - margin);
    l.corner.x = margin;
    l.corner.y = margin;
    int top = l.corner.lines.empty() ? margin : l.corner.y + l.corner.height + margin;

    l.message = fitted(o.message, font, roomWidth, bottom - top);
    l.message.x = margin;
    l.message.y = top;
    const int belowMessage = l.message.lines.empty() ? top : l.message.y + l.message.height + margin;

    // The panel in the middle of what is left between them. Asked for, it comes before a
    // passing message: where the two leave it less than three lines, the message gives way.
    l.panel = fitted(o.panel, font, roomWidth, bottom - belowMessage);
    if (l.panel.lines.size() < std::min<std::size_t>(3, o.panel.size()) && !l.message.lines.empty()) {
        l.message = {};
        l.panel = fitted(o.panel, font, roomWidth, bottom - top);
    } else {
        top = belowMessage;
    }
    l.panel.x = (width - l.panel.width) / 2;
    l.panel.y = top + (bottom - top - l.panel.height) / 2;
    return l;
}

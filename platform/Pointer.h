#pragma once

#include <algorithm>

// The pointer as media players have it: shown when it moves, hidden after a second of
// stillness; near the foot of the picture it brings up the progress bar, and a click or a drag
// there seeks. Positions are the window's pixels; the picture is where the frame is shown.
class Pointer {
public:
    static constexpr double hideAfter = 1.0;  // seconds of stillness

    struct Area {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // Whether y lies in the strip along the picture's foot where the bar answers the pointer:
    // the lowest eighth, and never less than 24 pixels, so a small window's bar can be hit.
    static bool nearFoot(const Area& picture, int x, int y) {
        const int strip = std::max(24, picture.height / 8);
        return picture.width > 0 && x >= picture.x && x < picture.x + picture.width &&
               y >= picture.y + picture.height - strip && y < picture.y + picture.height;
    }
    // The share of the song under x along the bar.
    static double share(const Area& picture, int x) {
        if (picture.width <= 0) return 0.0;
        return std::clamp((x - picture.x + 0.5) / picture.width, 0.0, 1.0);
    }

    // The pointer moved at this time (seconds).
    void moved(double now) { lastMove_ = now; }
    bool visible(double now) const { return lastMove_ >= 0.0 && now - lastMove_ < hideAfter; }

private:
    double lastMove_ = -1.0;
};

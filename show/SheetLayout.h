#pragma once

#include <algorithm>
#include <cmath>

// Where the contact sheet puts each scene's frame: a grid as near square as the scene count
// allows, filled row by row, each cell a half-size frame over its label, under a heading. The
// sheet draws by it, and the page cuts its thumbnails out of the sheet by it.
struct SheetLayout {
    static constexpr int cellWidth = 300, cellHeight = 150, label = 24, margin = 12, header = 44;
    struct Cell {
        int x;
        int y;
    };

    explicit SheetLayout(int cells)
        : columns(std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(cells)))))),
          rows((cells + columns - 1) / columns) {}
    int width() const { return columns * cellWidth + (columns + 1) * margin; }
    int height() const { return header + rows * (cellHeight + label) + rows * margin; }
    // The top-left corner of the frame of the index'th scene.
    Cell cell(int index) const {
        return {margin + index % columns * (cellWidth + margin), header + index / columns * (cellHeight + label + margin)};
    }

    int columns;
    int rows;
};

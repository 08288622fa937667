#pragma once

// The show's frames: every scene composes a picture this size, and every display, capture and
// still takes it at this size.
inline constexpr int frameWidth = 600;
inline constexpr int frameHeight = 300;

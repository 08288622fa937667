#!/usr/bin/env python3
"""The largest frame-to-frame jump in brightness over a capture's frames: the mean of
0.2126 R + 0.7152 G + 0.0722 B over each frame, 0 to 255, and the largest rise or fall between
two frames in a row, with where it happens. For judging the gentle flashes:

    build/tindrel capture /tmp/full --fps 60
    build/tindrel capture /tmp/gentle --fps 60 --gentle
    bench/flash-jumps.py /tmp/full /tmp/gentle
"""
import sys
from pathlib import Path

from PIL import Image, ImageStat


def brightness(path):
    image = Image.open(path).convert("RGB")
    r, g, b = ImageStat.Stat(image).mean
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def largest_jump(folder, fps):
    frames = sorted(Path(folder).glob("frame-*.png"))
    if len(frames) < 2:
        sys.exit(f"{folder}: fewer than two frames")
    levels = [brightness(f) for f in frames]
    jump, at = max((abs(b - a), i) for i, (a, b) in enumerate(zip(levels, levels[1:])))
    return jump, at + 1, (at + 1) / fps, max(levels)


def main():
    args = sys.argv[1:]
    fps = 60.0
    if len(args) >= 2 and args[0] == "--fps":
        fps = float(args[1])
        args = args[2:]
    if not args:
        sys.exit(__doc__)
    for folder in args:
        jump, frame, seconds, brightest = largest_jump(folder, fps)
        print(f"{folder}: largest jump {jump:.1f} of 255 ({100 * jump / 255:.0f} %) into frame {frame} "
              f"({seconds:.2f} s); brightest frame {brightest:.1f}")


if __name__ == "__main__":
    main()

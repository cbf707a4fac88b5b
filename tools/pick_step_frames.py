#!/usr/bin/env python3
"""Picks one screenshot per step out of the frames window-capture.exe saved.

    tools/pick_step_frames.py FRAMES_DIR OUT_DIR

The frames (frame-0001.png, ...) caught before the window's first paint are
skipped; the others are grouped into runs of consecutive frames that show the
same step: the same header chip and the same title line of the
progress panel. The last frame of each run, when the step has settled, is
copied to OUT_DIR as step-01.png, step-02.png, ... Prints one line per step.
"""
import shutil
import sys
from pathlib import Path

from PIL import Image

# Units of the 392 x 252 window: the header chip and the panel's title line,
# and a point of the bare window card between the rail and the detail line.
CHIP = (27, 53, 97, 71)
TITLE = (12, 145, 330, 167)
CARD_POINT = (200, 186)
CARD = (0x10, 0x11, 0x13)


def painted(image):
    """False for a frame caught before the window's first paint."""
    scale = image.width / 392.0
    pixel = image.getpixel(tuple(int(v * scale) for v in CARD_POINT))
    return max(abs(a - b) for a, b in zip(pixel, CARD)) <= 8


def step_key(path):
    """The pixels that tell the steps apart; None for an unpainted frame."""
    with Image.open(path) as opened:
        image = opened.convert("RGB")
    if not painted(image):
        return None
    scale = image.width / 392.0
    parts = []
    for left, top, right, bottom in (CHIP, TITLE):
        box = tuple(round(v * scale) for v in (left, top, right, bottom))
        parts.append(image.crop(box).tobytes())
    return b"|".join(parts)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    frames = sorted(Path(argv[1]).glob("frame-*.png"))
    out = Path(argv[2])
    out.mkdir(parents=True, exist_ok=True)
    runs = []  # [key, last frame, frame count]
    for frame in frames:
        key = step_key(frame)
        if key is None:
            continue
        if runs and runs[-1][0] == key:
            runs[-1][1] = frame
            runs[-1][2] += 1
        else:
            runs.append([key, frame, 1])
    for number, (_, frame, count) in enumerate(runs, start=1):
        target = out / f"step-{number:02d}.png"
        shutil.copyfile(frame, target)
        print(f"{target.name}: {frame.name} (last of {count} frame(s))")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/python3
"""Draws Start.exe's icon (the drive-root starter) in the suite's tile shape: run from the repo root."""
from pathlib import Path

from PIL import ImageDraw

from make_icons import SIZES, rounded_tile

ROOT = Path(__file__).resolve().parents[2]


def starter_icon(size=256):
    """A white "play" triangle on green: the one thing the starter does is start the suite."""
    tile = rounded_tile(size, (96, 196, 120), (34, 128, 64))
    draw = ImageDraw.Draw(tile)
    left, top, bottom, right = size * 11 // 32, size * 8 // 32, size * 24 // 32, size * 24 // 32
    draw.polygon([(left, top), (right, size // 2), (left, bottom)], fill=(255, 255, 255, 240))
    return tile


def main():
    out = ROOT / "starter" / "res" / "Start.ico"
    out.parent.mkdir(parents=True, exist_ok=True)
    starter_icon().save(out, sizes=SIZES)
    print(out)


if __name__ == "__main__":
    main()

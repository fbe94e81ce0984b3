#!/usr/bin/python3
"""Draws the programs' icons (multi-size .ico) so they can be changed and rebuilt: run from the repo root."""
from pathlib import Path

from PIL import Image, ImageDraw

ROOT = Path(__file__).resolve().parents[2]
SIZES = [(16, 16), (32, 32), (48, 48), (256, 256)]


def rounded_tile(size, top, bottom):
    """A rounded square with a vertical gradient, the shape every suite icon shares."""
    tile = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    gradient = Image.new("RGBA", (size, size))
    for y in range(size):
        t = y / (size - 1)
        gradient.paste(tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,), (0, y, size, y + 1))
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, size - 1, size - 1), radius=size // 5, fill=255)
    tile.paste(gradient, (0, 0), mask)
    return tile


def launcher_icon(size=256):
    """Four white tiles on blue: the launcher's grid of programs."""
    tile = rounded_tile(size, (64, 148, 230), (24, 82, 170))
    draw = ImageDraw.Draw(tile)
    gap, cell = size // 8, size * 5 // 16
    for row in range(2):
        for col in range(2):
            x, y = gap + col * (cell + gap // 2), gap + row * (cell + gap // 2)
            draw.rounded_rectangle((x, y, x + cell, y + cell), radius=size // 16, fill=(255, 255, 255, 235))
    return tile


def main():
    out = ROOT / "launcher" / "res" / "Tolv.ico"
    out.parent.mkdir(parents=True, exist_ok=True)
    launcher_icon().save(out, sizes=SIZES)
    print(out)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Draws Marlo.exe's icon and the start-up status picture into agent/res/: run from the repo root."""
from pathlib import Path

from PIL import Image, ImageDraw

from make_icons import SIZES, rounded_tile

ROOT = Path(__file__).resolve().parents[2]
# The status window is 174 dialog units wide, 261 pixels with the standard dialog font; the picture fills
# its top 32 units.
STATUS_SIZE = (261, 52)


def agent_icon(size=256):
    """A white ring with a dot on blue: the agent sits in the background and keeps the suite running."""
    tile = rounded_tile(size, (90, 150, 230), (30, 70, 160))
    draw = ImageDraw.Draw(tile)
    margin, width = size * 7 // 32, max(2, size // 14)
    draw.ellipse([margin, margin, size - margin, size - margin], outline=(255, 255, 255, 240), width=width)
    dot = size * 5 // 32
    draw.ellipse([size // 2 - dot, size // 2 - dot, size // 2 + dot, size // 2 + dot], fill=(255, 255, 255, 240))
    return tile


def status_picture():
    """A blue band with a lighter stripe and the icon at the left: no text, the line below carries the words."""
    width, height = STATUS_SIZE
    image = Image.new("RGB", STATUS_SIZE)
    draw = ImageDraw.Draw(image)
    for y in range(height):
        shade = 150 + (100 * y) // height
        draw.line([(0, y), (width, y)], fill=(30, 70, min(255, shade)))
    draw.rectangle([0, height - 4, width, height], fill=(120, 180, 250))
    icon = agent_icon(40).convert("RGBA")
    image.paste(icon, (8, (height - 40) // 2), icon)
    return image


def main():
    out = ROOT / "agent" / "res"
    out.mkdir(parents=True, exist_ok=True)
    agent_icon().save(out / "Marlo.ico", sizes=SIZES)
    status_picture().save(out / "ProgStatus.bmp")
    print(out)


if __name__ == "__main__":
    main()

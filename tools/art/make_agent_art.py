#!/usr/bin/python3
"""Draws Marlo.exe's icon, the start-up status picture and the store browser's caption pictures into agent/res/:
run from the repo root."""
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


# The store browser's caption: the store's name in the middle, its three buttons' icons at the right end.
CAPTION_SIZE = (766, 22)
CAPTION_ICON = 16


def caption_icon(kind):
    """16 x 16 white glyphs on the caption's blue: a house (home), a bar (minimise), a cross (close)."""
    image = Image.new("RGB", (CAPTION_ICON, CAPTION_ICON), (30, 70, 160))
    draw = ImageDraw.Draw(image)
    white = (255, 255, 255)
    if kind == "home":
        draw.polygon([(8, 2), (14, 8), (2, 8)], fill=white)
        draw.rectangle([4, 8, 12, 13], fill=white)
        draw.rectangle([7, 10, 9, 13], fill=(30, 70, 160))
    elif kind == "minimise":
        draw.rectangle([3, 11, 12, 13], fill=white)
    else:
        draw.line([(3, 3), (12, 12)], fill=white, width=2)
        draw.line([(12, 3), (3, 12)], fill=white, width=2)
    return image


def caption_picture():
    width, height = CAPTION_SIZE
    image = Image.new("RGB", CAPTION_SIZE)
    draw = ImageDraw.Draw(image)
    for y in range(height):
        draw.line([(0, y), (width, y)], fill=(30, 70, min(255, 140 + 5 * y)))
    # The name in block letters of our own, so no font file is needed.
    text, x = "STORVIA", width // 2 - 7 * 6
    for letter in text:
        draw.text((x, 5), letter, fill=(255, 255, 255))
        x += 12
    for index, kind in enumerate(("home", "minimise", "close")):
        image.paste(caption_icon(kind), (width - 6 - (3 - index) * 18 + 1, 3))
    return image


def main():
    out = ROOT / "agent" / "res"
    out.mkdir(parents=True, exist_ok=True)
    agent_icon().save(out / "Marlo.ico", sizes=SIZES)
    status_picture().save(out / "ProgStatus.bmp")
    caption_picture().save(out / "BrowserCaption.bmp")
    for name, kind in (("CaptionClose", "close"), ("CaptionHome", "home"), ("CaptionMinimise", "minimise")):
        caption_icon(kind).save(out / f"{name}.bmp")
    print(out)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Draws Marlo.exe's icon, the start-up status picture and the store browser's caption pictures into agent/res/:
run from the repo root."""
from pathlib import Path

from PIL import Image, ImageDraw

import make_skin
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


# The store browser's caption in the launcher skin's look: the skin's dark frame band with the store's name, and
# its three buttons as pictures of their own (IDB_CAPTION_*), each two cells wide: the button at rest, then under
# the mouse. The browser stretches each cell to the system's caption-button size.
CAPTION_SIZE = (766, 22)
CAPTION_CELL = (24, 22)


def caption_band(size):
    return make_skin.vgradient(size, make_skin.FRAME_TOP, make_skin.FRAME_BOTTOM).convert("RGB")


def caption_glyph(layer, kind, x0, colour):
    """A house (home), a bar (minimise), a cross (close), centred in the cell at x0."""
    cx, cy = x0 + CAPTION_CELL[0] / 2, CAPTION_CELL[1] / 2
    if kind == "home":
        layer.polygon([(cx, cy - 6), (cx + 6.5, cy), (cx - 6.5, cy)], colour)
        layer.rrect((cx - 4.5, cy - 0.5, cx + 4.5, cy + 6), 0.8, colour)
        layer.rrect((cx - 1.3, cy + 2, cx + 1.3, cy + 6), 0.4, make_skin.FRAME_BOTTOM)
    elif kind == "minimise":
        layer.line([(cx - 5, cy + 4), (cx + 5, cy + 4)], 2, colour)
    else:
        layer.line([(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)], 1.8, colour)
        layer.line([(cx + 4.5, cy - 4.5), (cx - 4.5, cy + 4.5)], 1.8, colour)


def caption_button(kind):
    """The two cells of one caption button: at rest (dim glyph on the band), under the mouse (a lit tile)."""
    width, height = CAPTION_CELL
    image = caption_band((2 * width, height)).convert("RGBA")
    layer = make_skin.Layer(2 * width, height)
    caption_glyph(layer, kind, 0, make_skin.TEXT_DIM)
    hover = ((232, 92, 84), (196, 52, 46)) if kind == "close" else (make_skin.ACCENT_TOP, make_skin.ACCENT_BOTTOM)
    layer.rrect((width + 1.5, 2, 2 * width - 1.5, height - 2), 3, hover)
    caption_glyph(layer, kind, width, make_skin.TEXT_LIGHT)
    return Image.alpha_composite(image, layer.result()).convert("RGB")


def caption_picture():
    width, height = CAPTION_SIZE
    image = caption_band(CAPTION_SIZE).convert("RGBA")
    layer = make_skin.Layer(width, height)
    name_font = make_skin.font("NanumGothicBold.ttf", 12)
    layer.text((width / 2, height / 2), "Storvia", name_font, make_skin.TEXT_LIGHT, anchor="mm")
    return Image.alpha_composite(image, layer.result()).convert("RGB")


def main():
    out = ROOT / "agent" / "res"
    out.mkdir(parents=True, exist_ok=True)
    agent_icon().save(out / "Marlo.ico", sizes=SIZES)
    status_picture().save(out / "ProgStatus.bmp")
    caption_picture().save(out / "BrowserCaption.bmp")
    for name, kind in (("CaptionClose", "close"), ("CaptionHome", "home"), ("CaptionMinimise", "minimise")):
        caption_button(kind).save(out / f"{name}.bmp")
    print(out)


if __name__ == "__main__":
    main()

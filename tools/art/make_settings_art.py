#!/usr/bin/python3
"""Draws TolvSet.exe's bar art into settings/res/: the five item icons (bitmaps 137-141) in the launcher icons'
style (make_skin's tiles and shapes), and OutlookBarColours.h, the bar's colours the icons are drawn against, so
the C++ side paints exactly the backdrop the icons' edges were blended toward. Run from the repo root."""
import sys
from pathlib import Path

from PIL import Image

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_skin as skin  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
OUT = ROOT / "settings" / "res"
SIZE = 48
MAGENTA = (255, 0, 255)

# The bar: a dark band like the launcher's frame, an accent header, lighter hover and accent selection.
COLOURS = {
    "Background": skin.FRAME_TOP,
    "Header": skin.ACCENT_BOTTOM,
    "HeaderText": skin.WHITE,
    "Text": skin.TEXT_LIGHT,
    "Hover": skin.HAIRLINE_LIGHT,
    "Selected": skin.ACCENT,
    "SelectedText": skin.WHITE,
}


def icon_general():
    """The launcher's settings gear."""
    return skin.icon_settings()


def icon_programs():
    """Four white tiles on the launcher's blue: the programs on the drive."""
    ly = skin.Layer(SIZE, SIZE)
    skin.tile(ly, skin.LAUNCHER_TOP, skin.LAUNCHER_BOTTOM)
    for row in range(2):
        for col in range(2):
            x, y = 12 + col * 13, 12 + row * 13
            ly.rrect((x, y, x + 10.5, y + 10.5), 2.5, skin.WHITE)
    return ly


def icon_backup():
    return skin.icon_backup()


def icon_other_options():
    """A key cap with a plus: the hot keys."""
    ly = skin.Layer(SIZE, SIZE)
    skin.tile(ly, (250, 190, 70), (226, 140, 30))
    ly.rrect((10, 13, 38, 36), 4, skin.WHITE)
    ly.rrect((13, 15.5, 35, 31), 3, (246, 228, 196))
    ly.line([(24, 18), (24, 28.5)], 2.6, (214, 128, 30))
    ly.line([(18.75, 23.25), (29.25, 23.25)], 2.6, (214, 128, 30))
    return ly


def icon_help():
    """A question mark in a ring."""
    ly = skin.Layer(SIZE, SIZE)
    skin.tile(ly, (58, 200, 170), (24, 150, 130))
    ly.ring((10, 10, 38, 38), 2.8, skin.WHITE)
    ly.arc((18.5, 15, 29.5, 26), 180, 420, 2.8, skin.WHITE)
    ly.line([(24, 26), (24, 28.5)], 2.8, skin.WHITE)
    ly.ellipse((22.3, 31, 25.7, 34.4), skin.WHITE)
    return ly


# Bitmap id, file stem, drawing; the bar's items bind these ids (settings/resource.h).
ICONS = [
    (140, "OutlookGeneral", icon_general),
    (141, "OutlookPrograms", icon_programs),
    (137, "OutlookBackup", icon_backup),
    (138, "OutlookOtherOptions", icon_other_options),
    (139, "OutlookHelp", icon_help),
]


def on_magenta(rgba, matte):
    """Flattens an icon for drawing with magenta as the transparent colour: edges are blended toward the bar's
    background, and mostly transparent pixels become magenta."""
    flat = Image.alpha_composite(Image.new("RGBA", rgba.size, matte + (255,)), rgba).convert("RGB")
    out = Image.new("RGB", rgba.size, MAGENTA)
    out.paste(flat, (0, 0), rgba.getchannel("A").point(lambda a: 255 if a >= 96 else 0))
    return out


def colours_header():
    lines = ["// The settings program's bar colours, written by tools/art/make_settings_art.py with the bar's icons,",
             "// whose edges are blended toward Background: change them there, not here.",
             "#pragma once", "", "#include <windows.h>", "", "namespace outlook_colours {", ""]
    for name, (r, g, b) in COLOURS.items():
        lines.append(f"inline constexpr COLORREF k{name} = RGB({r}, {g}, {b});")
    lines += ["", "}  // namespace outlook_colours", ""]
    return "\n".join(lines)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for _, stem, draw in ICONS:
        on_magenta(draw().result(), COLOURS["Background"]).save(OUT / f"{stem}.bmp")
    (OUT / "OutlookBarColours.h").write_text(colours_header())
    print(OUT)


if __name__ == "__main__":
    main()

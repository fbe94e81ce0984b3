#!/usr/bin/python3
"""Draws the launcher's skin bitmaps and writes its layout files; the build runs it, people run it to look.

    make_skin.py BITMAP_DIR [PREVIEW_PNG] [--layout-dir DIR] [--rc FILE] [--check-layout DIR]

The LAYOUT tables below are the one source of the layout values: the art is drawn around them, the three .kpt
files are written from them, and launcher/skin/*.kpt (checked in, compared with the C++ built-in values by a
native test) must stay equal to them, which --check-layout enforces in the build.

Transparency rule: the launcher draws every picture but the window background with black as the key colour, in
16-bit 5-6-5 pixels. So nothing opaque may quantise to black (dark tones are lifted to at least NEAR_BLACK), and
anti-aliased edges are blended toward the colour that actually lies underneath in the finished window (sampled
from the drawn background where the picture has a fixed place, the page well's colour for page icons). Edge pixels
that are mostly transparent become key black, so there is never a dark fringe.
"""
import argparse
import math
import struct
import sys
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFont

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_icons  # noqa: E402  (the launcher icon's tile look is shared with the title logo)

ROOT = Path(__file__).resolve().parents[2]
FONT_DIR = Path("/usr/share/fonts/truetype/nanum")
SS = 4  # supersampling factor of every drawn shape

WIDTH, HEIGHT = 330, 556
MAGENTA = (255, 0, 255)
KEY = (0, 0, 0)
NEAR_BLACK = (8, 8, 8)

# ---- layout: the values of the shipped .kpt files ---------------------------------------------------------------

PAGE_X, PAGE_Y, PAGE_W, PAGE_H = 21, 140, 288, 336
BAND_H = 44
MENU_Y = 54
MENU_REL_X = [12, 84, 156, 228]  # relative to PAGE_X, the same columns as the page grid
HOME = (146, 509)
EXIT = (296, 12)
INDICATOR_Y = 486
DRIVE_LABEL = (36, 522)
FREE_SPACE_END = (310, 522)

MAIN_POINTS = [
    HOME[0], HOME[1], EXIT[0], EXIT[1],
    MENU_REL_X[0], MENU_Y, MENU_REL_X[1], MENU_Y, MENU_REL_X[2], MENU_Y, MENU_REL_X[3], MENU_Y,
    0, BAND_H,
    PAGE_X, PAGE_Y, PAGE_W, PAGE_H,
    0, 0, 0,
    INDICATOR_Y,
    DRIVE_LABEL[0], DRIVE_LABEL[1],
    0, 0, 0, 0,
    FREE_SPACE_END[0], FREE_SPACE_END[1],
    0, 0, 0, 0,
]

GRID_X0, GRID_DX, GRID_Y0, GRID_DY = 12, 72, 10, 84
PAGE_POS = [(GRID_X0 + GRID_DX * (j % 4), GRID_Y0 + GRID_DY * (j // 4)) for j in range(16)]

FIELD_X, FIELD_W, FIELD_H = 12, 186, 22
FIELD_Y = [57, 102, 147, 192]  # caption, command, parameter, icon
LABEL_DY = -15  # label text top, relative to its field
BROWSE_X = FIELD_X + FIELD_W + 6
BUTTON_W, BUTTON_H = 74, 24
BUTTON_Y = 226
EDIT_POINTS = [
    FIELD_X, FIELD_Y[0], FIELD_X, FIELD_Y[1], FIELD_X, FIELD_Y[2], FIELD_X, FIELD_Y[3],
    BROWSE_X - 80, BUTTON_Y, BROWSE_X, BUTTON_Y,
    BROWSE_X, FIELD_Y[1] - 1, BROWSE_X, FIELD_Y[3] - 1,
]
PANEL_W, PANEL_H = 288, 261
PANEL_ORIGIN = (PAGE_X, PAGE_Y + 40)

assert len(MAIN_POINTS) == 34 and len(PAGE_POS) == 16 and len(EDIT_POINTS) == 16

# ---- palette and shape family -----------------------------------------------------------------------------------

LAUNCHER_TOP, LAUNCHER_BOTTOM = (64, 148, 230), (24, 82, 170)  # make_icons' launcher tile; the drive icon matches
ACCENT = (66, 150, 236)
ACCENT_TOP, ACCENT_BOTTOM = (92, 170, 246), (46, 118, 212)
FRAME_TOP, FRAME_BOTTOM = (47, 53, 64), (35, 40, 49)
BAND_TOP, BAND_BOTTOM = (58, 65, 77), (47, 53, 64)
WELL_TOP, WELL_BOTTOM = (28, 33, 42), (21, 25, 32)
WELL_RIM_DARK, WELL_RIM_LIGHT = (16, 19, 25), (62, 70, 83)
HAIRLINE_DARK, HAIRLINE_LIGHT = (25, 29, 36), (64, 72, 85)
TEXT_LIGHT = (232, 236, 241)
TEXT_DIM = (150, 158, 168)
CARD, CARD_TEXT = (246, 247, 249), (58, 64, 74)
R_SMALL, R_ICON, R_LARGE = 4, 10, 14  # fields and buttons, 48-pixel icons, wells and the window

WELL_BOX = (12, PAGE_Y - 2, WIDTH - 12, PAGE_Y + PAGE_H + 2)
MENU_BOX = (12, BAND_H + 4, WIDTH - 12, MENU_Y + 78)
BOTTOM_SPLIT = 498


def font(name, size):
    for candidate in (name, "NanumGothicBold.ttf"):
        path = FONT_DIR / candidate
        if path.exists():
            return ImageFont.truetype(str(path), size)
    return ImageFont.load_default()


# ---- drawing helpers --------------------------------------------------------------------------------------------


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def vgradient(size, top, bottom, alpha=255):
    w, h = size
    img = Image.new("RGBA", (w, h))
    draw = ImageDraw.Draw(img)
    for y in range(h):
        draw.line((0, y, w, y), fill=lerp(top, bottom, y / max(1, h - 1)) + (alpha,))
    return img


class Layer:
    """An RGBA drawing surface at SS times the target size; coordinates are given in target pixels."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.img)

    @staticmethod
    def s(v):
        return [round(x * SS) for x in v]

    def mask(self, shape, box, **kw):
        m = Image.new("L", self.img.size, 0)
        d = ImageDraw.Draw(m)
        getattr(d, shape)(self.s(box), fill=255, **kw)
        return m

    def fill(self, mask, paint):
        """Paints a colour or a gradient pair through a full-resolution mask."""
        if isinstance(paint, tuple) and isinstance(paint[0], tuple):
            src = vgradient(self.img.size, paint[0], paint[1])
        else:
            src = Image.new("RGBA", self.img.size, tuple(paint) + (255,) if len(paint) == 3 else tuple(paint))
        self.img.paste(Image.alpha_composite(self.img, src), (0, 0), mask)

    def rrect(self, box, radius, paint):
        self.fill(self.mask("rounded_rectangle", box, radius=radius * SS), paint)

    def ellipse(self, box, paint):
        self.fill(self.mask("ellipse", box), paint)

    def polygon(self, points, paint):
        m = Image.new("L", self.img.size, 0)
        ImageDraw.Draw(m).polygon([(x * SS, y * SS) for x, y in points], fill=255)
        self.fill(m, paint)

    def line(self, points, width, paint, round_caps=True):
        m = Image.new("L", self.img.size, 0)
        d = ImageDraw.Draw(m)
        pts = [(x * SS, y * SS) for x, y in points]
        d.line(pts, fill=255, width=round(width * SS), joint="curve")
        if round_caps:
            r = width * SS / 2
            for x, y in (pts[0], pts[-1]):
                d.ellipse((x - r, y - r, x + r, y + r), fill=255)
        self.fill(m, paint)

    def arc(self, box, start, end, width, paint):
        m = Image.new("L", self.img.size, 0)
        ImageDraw.Draw(m).arc(self.s(box), start, end, fill=255, width=round(width * SS))
        self.fill(m, paint)

    def ring(self, box, width, paint):
        outer = self.mask("ellipse", box)
        x0, y0, x1, y1 = box
        inner = self.mask("ellipse", (x0 + width, y0 + width, x1 - width, y1 - width))
        self.fill(ImageChops.subtract(outer, inner), paint)

    def text(self, xy, text, fnt, paint, anchor="la"):
        m = Image.new("L", self.img.size, 0)
        big = fnt.font_variant(size=fnt.size * SS)
        ImageDraw.Draw(m).text((xy[0] * SS, xy[1] * SS), text, font=big, fill=255, anchor=anchor)
        self.fill(m, paint)

    def result(self):
        return self.img.resize((self.w, self.h), Image.Resampling.BOX)


def lift(rgb):
    """Keeps an opaque colour away from the key: nothing may quantise to 0 in 5-6-5."""
    r, g, b = rgb
    if (r >> 3) == 0 and (g >> 2) == 0 and (b >> 3) == 0:
        return NEAR_BLACK
    return rgb


def keyed(rgba, matte):
    """Flattens an RGBA picture for key-colour drawing: mostly transparent pixels become black, the rest are
    composited over `matte` (a colour or an image of the same size: what lies underneath in the window)."""
    w, h = rgba.size
    under = matte if isinstance(matte, Image.Image) else Image.new("RGB", (w, h), matte)
    flat = Image.alpha_composite(under.convert("RGBA"), rgba).convert("RGB")
    alpha = rgba.getchannel("A")
    out = Image.new("RGB", (w, h), KEY)
    src, a, px = flat.load(), alpha.load(), out.load()
    for y in range(h):
        for x in range(w):
            if a[x, y] >= 96:
                px[x, y] = lift(src[x, y])
    return out


def tile(layer, top, bottom, inset=2):
    """The suite's icon tile: the rounded, gradient square of make_icons, with a soft bottom shadow."""
    n = layer.w
    layer.rrect((inset, inset + 1, n - inset, n - inset + 1), R_ICON, (10, 12, 16, 90))
    layer.rrect((inset, inset, n - inset, n - inset), R_ICON, (top, bottom))
    layer.rrect((inset, inset, n - inset, inset + (n - 2 * inset) / 2), R_ICON, (255, 255, 255, 22))


WHITE = (255, 255, 255)


# ---- the 48 x 48 icons ------------------------------------------------------------------------------------------


def icon_store():
    ly = Layer(48, 48)
    tile(ly, (255, 150, 84), (232, 96, 54))
    ly.arc((17, 10, 31, 26), 180, 360, 2.4, WHITE)
    ly.polygon([(12, 18), (36, 18), (38.5, 37), (9.5, 37)], WHITE)
    ly.rrect((9.5, 33, 38.5, 38), 2, WHITE)
    ly.ellipse((17, 21.5, 19.6, 24.1), (232, 110, 60))
    ly.ellipse((28.4, 21.5, 31, 24.1), (232, 110, 60))
    return ly


def gear_mask(ly, cx, cy, r_out, r_in, r_hole, teeth):
    pts = []
    for i in range(teeth * 4):
        ang = 2 * math.pi * i / (teeth * 4) - math.pi / 2
        r = r_out if (i % 4) in (0, 1) else r_in
        pts.append((cx + r * math.cos(ang), cy + r * math.sin(ang)))
    m = Image.new("L", ly.img.size, 0)
    d = ImageDraw.Draw(m)
    d.polygon([(x * SS, y * SS) for x, y in pts], fill=255)
    d.ellipse(ly.s((cx - r_in - 0.5, cy - r_in - 0.5, cx + r_in + 0.5, cy + r_in + 0.5)), fill=255)
    d.ellipse(ly.s((cx - r_hole, cy - r_hole, cx + r_hole, cy + r_hole)), fill=0)
    return m


def icon_settings():
    ly = Layer(48, 48)
    tile(ly, (134, 146, 164), (88, 100, 120))
    ly.fill(gear_mask(ly, 24, 24, 15, 11.5, 5, 8), WHITE)
    return ly


def icon_search():
    ly = Layer(48, 48)
    tile(ly, (58, 200, 170), (24, 150, 130))
    ly.ring((9.5, 9.5, 31, 31), 3.6, WHITE)
    ly.ellipse((13, 13, 27.5, 27.5), (255, 255, 255, 70))
    ly.line([(28.5, 28.5), (37, 37)], 5.2, WHITE)
    return ly


def usb_stick(size, body, metal, hole):
    """An upright USB drive drawn on its own layer, to be turned by the caller."""
    ly = Layer(size, size)
    u = size / 48
    ly.rrect((17 * u, 8 * u, 31 * u, 17 * u), 1.2 * u, metal)
    ly.rrect((19.5 * u, 10.5 * u, 22.5 * u, 13.5 * u), 0.5 * u, hole)
    ly.rrect((25.5 * u, 10.5 * u, 28.5 * u, 13.5 * u), 0.5 * u, hole)
    ly.rrect((14 * u, 16 * u, 34 * u, 42 * u), 4 * u, body)
    ly.rrect((21 * u, 34 * u, 27 * u, 36.5 * u), 1.2 * u, hole)
    return ly


def icon_drive():
    ly = Layer(48, 48)
    tile(ly, LAUNCHER_TOP, LAUNCHER_BOTTOM)
    stick = usb_stick(48, WHITE, (232, 238, 246), (64, 132, 214))
    turned = stick.img.rotate(-40, resample=Image.Resampling.BICUBIC, center=(24 * SS, 25 * SS))
    ly.img.alpha_composite(turned)
    return ly


def icon_folder():
    ly = Layer(48, 48)
    ly.rrect((5, 11, 22, 20), 3, (214, 146, 30))
    ly.rrect((5, 14, 43, 39), 3.5, (222, 156, 36))
    ly.rrect((8, 17, 40, 32), 1.5, (250, 250, 246))
    ly.rrect((5, 19, 43, 40), 3.5, ((255, 206, 92), (240, 168, 44)))
    ly.line([(6.5, 20.2), (41.5, 20.2)], 0.8, (255, 228, 150), round_caps=False)
    return ly


def icon_installing():
    ly = Layer(48, 48)
    tan_top, tan_side = (222, 178, 118), (196, 146, 86)
    ly.polygon([(8, 24), (24, 29), (40, 24), (40, 38), (24, 44), (8, 38)], (tan_top, tan_side))
    ly.polygon([(24, 29), (40, 24), (40, 38), (24, 44)], (182, 132, 74))
    ly.polygon([(8, 24), (24, 19), (40, 24), (24, 29)], (236, 200, 146))
    ly.line([(24, 29), (24, 44)], 0.8, (160, 112, 60), round_caps=False)
    ly.rrect((20.5, 3, 27.5, 15), 1.5, ACCENT)
    ly.polygon([(15.5, 13), (32.5, 13), (24, 23)], ACCENT)
    return ly


def icon_backup():
    ly = Layer(48, 48)
    tile(ly, (136, 120, 232), (92, 72, 196))
    ly.arc((11, 11, 37, 37), 200, 500, 3.2, WHITE)
    ang = math.radians(200)
    tip = (24 + 13 * math.cos(ang), 24 + 13 * math.sin(ang))
    ly.polygon([(tip[0] - 5.4, tip[1] - 3.0), (tip[0] + 4.4, tip[1] - 2.6), (tip[0] - 0.8, tip[1] + 5.4)], WHITE)
    ly.line([(24, 16.5), (24, 24.5), (29.5, 28)], 2.6, WHITE)
    return ly


def icon_document():
    ly = Layer(48, 48)
    body = [(11, 5), (29, 5), (38, 14), (38, 43), (11, 43)]
    shadow = [(x + 0.6, y + 1.2) for x, y in body]
    ly.polygon(shadow, (10, 12, 16, 80))
    ly.polygon(body, ((250, 251, 253), (224, 229, 236)))
    ly.polygon([(29, 5), (29, 14), (38, 14)], (196, 204, 214))
    for i, y in enumerate((20, 25, 30, 35)):
        ly.line([(16, y), (33 - (7 if i == 3 else 0), y)], 1.6, (170, 180, 194))
    return ly


def badge_update():
    ly = Layer(48, 48)
    ly.ellipse((26, 0, 47, 21), WHITE)
    ly.ellipse((28, 2, 45, 19), ((255, 136, 76), (236, 84, 44)))
    ly.polygon([(36.5, 5), (42, 11), (31, 11)], WHITE)
    ly.rrect((35, 10, 38, 16), 0.6, WHITE)
    return ly


def shade():
    ly = Layer(48, 48)
    ly.rrect((2, 2, 46, 46), R_ICON, (226, 231, 238))
    return ly


# ---- small pictures ---------------------------------------------------------------------------------------------


def progress_segment():
    seg = Image.new("RGB", (4, 3))
    px = seg.load()
    for y, colour in enumerate(((150, 208, 255), (86, 170, 248), (56, 136, 226))):
        for x in range(3):
            px[x, y] = colour
        px[3, y] = lerp(colour, (26, 60, 110), 0.75)
    return seg


def indicator(current):
    ly = Layer(11, 11)
    if current:
        ly.ellipse((0, 0, 11, 11), (ACCENT[0], ACCENT[1], ACCENT[2], 70))
        ly.ellipse((1.5, 1.5, 9.5, 9.5), ((120, 188, 252), ACCENT))
    else:
        ly.ellipse((2.5, 2.5, 8.5, 8.5), (92, 101, 115))
    return ly


def home_button():
    ly = Layer(38, 38)
    ly.ellipse((1, 2, 37, 38), (12, 14, 18, 110))
    ly.ellipse((1, 1, 37, 37), ((78, 87, 101), (52, 59, 71)))
    ly.ring((1, 1, 37, 37), 1, (104, 114, 129))
    glyph = (226, 231, 238)
    ly.polygon([(19, 9.5), (29.5, 18.5), (27, 18.5), (19, 11.8), (11, 18.5), (8.5, 18.5)], glyph)
    ly.polygon([(12.5, 17.5), (19, 12), (25.5, 17.5), (25.5, 27.5), (12.5, 27.5)], glyph)
    ly.rrect((17, 20.5, 21, 27.6), 0.8, (60, 68, 81))
    return ly


def exit_button():
    ly = Layer(20, 20)
    ly.ellipse((0.5, 0.5, 19.5, 19.5), ((238, 104, 98), (204, 62, 58)))
    ly.arc((5.2, 5.6, 14.8, 15.2), -55, 235, 1.7, WHITE)
    ly.line([(10, 4.2), (10, 9.8)], 1.7, WHITE)
    return ly


def caret():
    img = Image.new("RGB", (3, 18))
    px = img.load()
    for y in range(18):
        px[0, y], px[1, y], px[2, y] = (110, 172, 240), (40, 116, 214), (110, 172, 240)
    return img


def field_picture(backdrop):
    ly = Layer(FIELD_W, FIELD_H)
    ly.rrect((0, 0, FIELD_W, FIELD_H), R_SMALL, (190, 198, 208))
    ly.rrect((1, 1, FIELD_W - 1, FIELD_H - 1), R_SMALL - 1, ((238, 241, 245), (255, 255, 255)))
    ly.rrect((1, 1, FIELD_W - 1, 3), 1, (226, 230, 236, 120))
    return keyed(ly.result(), backdrop)


def button_picture(kind, label, backdrop):
    ly = Layer(BUTTON_W, BUTTON_H)
    f = font("NanumBarunGothicBold.ttf", 12)
    if kind == "primary":
        ly.rrect((0, 0.5, BUTTON_W, BUTTON_H), R_SMALL + 1, (30, 80, 150, 110))
        ly.rrect((0, 0, BUTTON_W, BUTTON_H - 1), R_SMALL + 1, (ACCENT_TOP, ACCENT_BOTTOM))
        ly.rrect((1, 1, BUTTON_W - 1, (BUTTON_H - 1) / 2), R_SMALL, (255, 255, 255, 28))
        ly.text((BUTTON_W / 2, 11.6), label, f, WHITE, anchor="mm")
    else:
        ly.rrect((0, 0, BUTTON_W, BUTTON_H), R_SMALL + 1, (186, 194, 205))
        ly.rrect((1, 1, BUTTON_W - 1, BUTTON_H - 1), R_SMALL, ((255, 255, 255), (232, 236, 241)))
        colour = (40, 110, 200) if kind == "browse" else CARD_TEXT
        ly.text((BUTTON_W / 2, 11.6), label, f, colour, anchor="mm")
    return keyed(ly.result(), backdrop)


# ---- the window background and the command panel ----------------------------------------------------------------


def window_mask():
    """The rounded body, hard-edged: the window's colour key cannot blend, so partial pixels would show pink."""
    m = Image.new("L", (WIDTH * SS, HEIGHT * SS), 0)
    ImageDraw.Draw(m).rounded_rectangle((0, 0, WIDTH * SS - 1, HEIGHT * SS - 1), radius=R_LARGE * SS, fill=255)
    return m.resize((WIDTH, HEIGHT), Image.Resampling.BOX).point(lambda v: 255 if v >= 128 else 0)


def well_glow():
    """A faint accent light from the top of the page well, smooth enough to show no ring in 16 bits."""
    x0, y0, x1, y1 = WELL_BOX
    cx, cy, radius = (x0 + x1) / 2, y0 - 40, 260
    glow = Image.new("RGBA", (WIDTH, HEIGHT), ACCENT + (0,))
    alpha = Image.new("L", (WIDTH, HEIGHT), 0)
    a = alpha.load()
    for y in range(y0, y1):
        for x in range(x0, x1):
            t = max(0.0, 1 - math.hypot(x - cx, (y - cy) * 1.3) / radius)
            a[x, y] = int(round(22 * t * t))
    inside = Image.new("L", (WIDTH, HEIGHT), 0)
    ImageDraw.Draw(inside).rounded_rectangle(WELL_BOX, radius=R_LARGE, fill=255)
    glow.putalpha(ImageChops.multiply(alpha, inside))
    return glow


def well(ly, box, top, bottom):
    x0, y0, x1, y1 = box
    ly.rrect((x0, y0 - 1, x1, y1 + 1), R_LARGE, WELL_RIM_LIGHT)
    ly.rrect((x0, y0 - 1, x1, y1), R_LARGE, WELL_RIM_DARK)
    ly.rrect((x0, y0, x1, y1), R_LARGE, (top, bottom))


def background():
    ly = Layer(WIDTH, HEIGHT)
    full = (0, 0, WIDTH, HEIGHT)
    ly.rrect(full, R_LARGE, (FRAME_TOP, FRAME_BOTTOM))
    ly.fill(ly.mask("rounded_rectangle", (0, 0, WIDTH, BAND_H + R_LARGE), radius=R_LARGE * SS), (BAND_TOP, BAND_BOTTOM))
    ly.rrect((0, BAND_H, WIDTH, BAND_H + R_LARGE + 1), 0, FRAME_TOP)
    ly.line([(0, BAND_H - 0.5), (WIDTH, BAND_H - 0.5)], 1, HAIRLINE_DARK, round_caps=False)
    ly.line([(0, BAND_H + 0.5), (WIDTH, BAND_H + 0.5)], 1, (56, 63, 75), round_caps=False)

    # Title: the launcher icon and the name.
    logo = make_icons.launcher_icon(22 * SS)
    ly.img.alpha_composite(logo, (16 * SS, 11 * SS))
    ly.text((45, 22.5), "Kelvo", font("NanumSquareRoundB.ttf", 19), TEXT_LIGHT, anchor="lm")

    # The menu row and the page area sit in two matching dark wells.
    well(ly, MENU_BOX, WELL_TOP, lerp(WELL_TOP, WELL_BOTTOM, 0.35))
    well(ly, WELL_BOX, WELL_TOP, WELL_BOTTOM)
    glow = well_glow()

    # The bottom bar: a hairline split, a small drive glyph before the label.
    ly.line([(R_LARGE, BOTTOM_SPLIT - 0.5), (WIDTH - R_LARGE, BOTTOM_SPLIT - 0.5)], 1, HAIRLINE_DARK, round_caps=False)
    ly.line([(R_LARGE, BOTTOM_SPLIT + 0.5), (WIDTH - R_LARGE, BOTTOM_SPLIT + 0.5)], 1, (52, 59, 70), round_caps=False)
    stick = usb_stick(16, TEXT_DIM, TEXT_DIM, FRAME_BOTTOM)
    turned = stick.img.rotate(-40, resample=Image.Resampling.BICUBIC, center=(8 * SS, 8 * SS))
    ly.img.alpha_composite(turned, (18 * SS, (DRIVE_LABEL[1] - 2) * SS))

    # The rim: a light top edge and a darker outline follow the window's outline.
    ly.fill(ImageChops.subtract(ly.mask("rounded_rectangle", full, radius=R_LARGE * SS),
                                ly.mask("rounded_rectangle", (1, 1, WIDTH - 1, HEIGHT - 1),
                                        radius=(R_LARGE - 1) * SS)), (78, 87, 100))

    img = ly.result()
    img.alpha_composite(glow)
    body = Image.new("RGB", (WIDTH, HEIGHT), MAGENTA)
    opaque = Image.alpha_composite(Image.new("RGBA", (WIDTH, HEIGHT), FRAME_BOTTOM + (255,)), img).convert("RGB")
    body.paste(opaque, (0, 0), window_mask())
    return body


# The command panel's field labels; the launcher's fields write typed text in this face at this pixel size
# (launcher/CommandPanel.cpp, kFieldFontFace and kFieldFontPixels).
PANEL_LABEL_FONT = ("NanumBarunGothicBold.ttf", 12)


def command_panel(skin):
    """The panel is copied opaque over the page area, so its corners carry the well it covers."""
    ox, oy = PANEL_ORIGIN
    backdrop = skin.crop((ox, oy, ox + PANEL_W, oy + PANEL_H)).convert("RGBA")
    ly = Layer(PANEL_W, PANEL_H)
    ly.rrect((0, 1, PANEL_W, PANEL_H), R_LARGE, (8, 10, 14, 140))
    ly.rrect((0, 0, PANEL_W, PANEL_H - 1), R_LARGE, (CARD, (236, 239, 243)))
    head = ly.mask("rounded_rectangle", (0, 0, PANEL_W, 48), radius=R_LARGE * SS)
    head = ImageChops.multiply(head, Layer(PANEL_W, PANEL_H).mask("rectangle", (0, 0, PANEL_W, 36)))
    ly.fill(head, (ACCENT_TOP, ACCENT_BOTTOM))
    ly.text((16, 18.5), "사용자 명령", font("NanumBarunGothicBold.ttf", 14), WHITE, anchor="lm")
    ly.ellipse((PANEL_W - 30, 10, PANEL_W - 14, 26), (255, 255, 255, 60))
    ly.line([(PANEL_W - 22, 14), (PANEL_W - 22, 22)], 1.8, WHITE)
    ly.line([(PANEL_W - 26, 18), (PANEL_W - 18, 18)], 1.8, WHITE)
    label_font = font(*PANEL_LABEL_FONT)
    for y, label in zip(FIELD_Y, ("이름", "명령", "인수", "아이콘")):
        ly.text((FIELD_X + 2, y + LABEL_DY), label, label_font, CARD_TEXT)
    hint_font = font("NanumBarunGothic.ttf", 11)
    ly.text((FIELD_X + FIELD_W, FIELD_Y[0] + LABEL_DY), "비우면 파일 이름", hint_font, (150, 157, 168), anchor="ra")
    ly.text((FIELD_X + FIELD_W, FIELD_Y[2] + LABEL_DY), "선택 사항", hint_font, (150, 157, 168), anchor="ra")
    ly.line([(12, BUTTON_Y - 9.5), (PANEL_W - 12, BUTTON_Y - 9.5)], 1, (220, 224, 230), round_caps=False)
    card = Image.alpha_composite(backdrop, ly.result())
    return card.convert("RGB")


# ---- output -----------------------------------------------------------------------------------------------------


BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def expand(q, bits):
    return (q << (8 - bits)) | (q >> (2 * bits - 8))


def quantise(img, is_keyed):
    """Snaps every pixel to a 5-6-5 value with ordered dithering. The launcher truncates pictures to 16 bits,
    which bands the skin's slow gradients; pre-dithered values truncate to exactly what is shown here. Key
    pixels stay black and no other pixel may land on black."""
    out = img.copy()
    px = out.load()
    for y in range(out.height):
        row = BAYER4[y % 4]
        for x in range(out.width):
            v = px[x, y]
            if is_keyed and v == KEY:
                continue
            t = (row[x % 4] + 0.5) / 16
            q = [min(levels, int(c * levels / 255 + t)) for c, levels in zip(v, (31, 63, 31))]
            rgb = (expand(q[0], 5), expand(q[1], 6), expand(q[2], 5))
            px[x, y] = lift(rgb) if is_keyed else rgb
    return out


def page_matte():
    return lerp(WELL_TOP, WELL_BOTTOM, 0.4)


def under(img, xy, size):
    return img.crop((xy[0], xy[1], xy[0] + size[0], xy[1] + size[1]))


def build():
    """All bitmaps by resource id, each with its file stem."""
    skin = background()
    menu_matte = lerp(WELL_TOP, WELL_BOTTOM, 0.15)
    panel = command_panel(skin)
    e = EDIT_POINTS
    pics = {
        129: ("background", skin),
        168: ("home", keyed(home_button().result(), under(skin, HOME, (38, 38)))),
        182: ("exit", keyed(exit_button().result(), under(skin, EXIT, (20, 20)))),
        169: ("page_current", keyed(indicator(True).result(), under(skin, (156, INDICATOR_Y), (11, 11)))),
        170: ("page_other", keyed(indicator(False).result(), under(skin, (156, INDICATOR_Y), (11, 11)))),
        171: ("menu_store", keyed(icon_store().result(), menu_matte)),
        172: ("menu_settings", keyed(icon_settings().result(), menu_matte)),
        173: ("menu_search", keyed(icon_search().result(), menu_matte)),
        174: ("menu_drive", keyed(icon_drive().result(), menu_matte)),
        205: ("folder", keyed(icon_folder().result(), page_matte())),
        214: ("installing", keyed(icon_installing().result(), page_matte())),
        215: ("backup", keyed(icon_backup().result(), page_matte())),
        216: ("document", keyed(icon_document().result(), page_matte())),
        207: ("badge_update", keyed(badge_update().result(), page_matte())),
        209: ("shade", keyed(shade().result(), page_matte())),
        210: ("progress", progress_segment()),
        198: ("panel", panel),
        201: ("button_ok", button_picture("primary", "확인", under(panel, (e[8], e[9]), (BUTTON_W, BUTTON_H)))),
        199: ("button_cancel", button_picture("secondary", "취소", under(panel, (e[10], e[11]), (BUTTON_W, BUTTON_H)))),
        202: ("button_browse", button_picture("browse", "선택", under(panel, (e[12], e[13]), (BUTTON_W, BUTTON_H)))),
        204: ("field", field_picture(under(panel, (e[0], e[1]), (FIELD_W, FIELD_H)))),
        203: ("caret", caret()),
    }
    sizes = {129: (330, 556), 168: (38, 38), 182: (20, 20), 169: (11, 11), 170: (11, 11), 210: (4, 3),
             198: (288, 261), 201: (74, 24), 199: (74, 24), 202: (74, 24), 204: (186, 22), 203: (3, 18)}
    for rid, (name, img) in pics.items():
        if rid not in (203, 210):
            pics[rid] = (name, quantise(img, rid != 129 and rid != 198))
    for rid, (_, img) in pics.items():
        want = sizes.get(rid, (48, 48))
        assert img.size == want and img.mode == "RGB", (rid, img.size, img.mode)
    check_background(pics[129][1])
    return pics


def check_background(skin):
    """The window key must show exactly outside the body, and the page area must have no key-black pixel."""
    px = skin.load()
    inside = window_mask().load()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            assert (px[x, y] == MAGENTA) == (inside[x, y] == 0), ("window key", x, y, px[x, y])
    for y in range(PAGE_Y, PAGE_Y + PAGE_H):
        for x in range(PAGE_X, PAGE_X + PAGE_W):
            r, g, b = px[x, y]
            assert (r >> 3, g >> 2, b >> 3) != (0, 0, 0), ("black in the page area", x, y)


def layout_files():
    return {
        "mainpoint.kpt": struct.pack("<34h", *MAIN_POINTS),
        "pagepos.kpt": struct.pack("<32h", *[v for pair in PAGE_POS for v in pair]),
        "EditCtrlPoint.kpt": struct.pack("<16h", *EDIT_POINTS),
    }


def write_if_changed(path, data):
    if not path.exists() or path.read_bytes() != data:
        path.write_bytes(data)


def blit_keyed(dst, src, xy):
    """Draws like the launcher: black source pixels are skipped."""
    r, g, b = src.split()
    any_channel = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v else 0)
    dst.paste(src, xy, any_channel)


def to565(img):
    """What the 16-bit back buffer keeps of a picture."""
    return img.point(
        [(v >> 3) << 3 | (v >> 5) for v in range(256)] + [(v >> 2) << 2 | (v >> 6) for v in range(256)] +
        [(v >> 3) << 3 | (v >> 5) for v in range(256)])


def mock_window(pics, with_panel):
    """The window as the launcher would compose it, for the preview only."""
    win = pics[129][1].copy()
    cap_font = font("NanumBarunGothic.ttf", 11)
    small = font("NanumBarunGothic.ttf", 10)
    d = ImageDraw.Draw(win)
    caption = (0x6E, 0x74, 0x79)
    blit_keyed(win, pics[168][1], HOME)
    blit_keyed(win, pics[182][1], EXIT)
    for i, (rid, name) in enumerate(((171, "스토어"), (172, "설정"), (173, "찾기"), (174, "드라이브"))):
        x, y = PAGE_X + MENU_REL_X[i], MENU_Y
        blit_keyed(win, pics[rid][1], (x, y))
        d.text((x + 24, y + 48 + 9 + 7), name, font=cap_font, fill=caption, anchor="mm")
    page = Image.new("RGB", (PAGE_W, PAGE_H), KEY)
    pd = ImageDraw.Draw(page)
    items = [(205, "문서"), (216, "메모장"), (215, "백업"), (214, "설치 중"), (216, "그림판"), (205, "사진"),
             (216, "압축 풀기"), (216, "계산기"), (205, "음악"), (216, "브라우저")]
    for j, (rid, name) in enumerate(items):
        x, y = PAGE_POS[j]
        blit_keyed(page, pics[rid][1], (x, y))
        if j == 3:
            shaded = Image.blend(page.crop((x, y, x + 48, y + 48)), pics[209][1], 0.5)
            page.paste(shaded, (x, y))
            pd.text((x + 14, y + 20), "40 %", font=cap_font, fill=KEY)
            for k in range(4):
                page.paste(pics[210][1], (x + 3 + 4 * k, y + 35))
        if j == 1:
            blit_keyed(page, pics[207][1], (x, y))
        pd.text((x + 24, y + 48 + 2 + 7), name, font=cap_font, fill=caption, anchor="mm")
    blit_keyed(win, page, (PAGE_X, PAGE_Y))
    if with_panel:
        panel = pics[198][1].copy()
        e = EDIT_POINTS
        for k in range(4):
            blit_keyed(panel, pics[204][1], (e[2 * k], e[2 * k + 1]))
        pdraw = ImageDraw.Draw(panel)
        pdraw.text((e[2] + 5, e[3] + 4), "D:\\Tools\\app.exe", font=small, fill=(20, 20, 20))
        blit_keyed(panel, pics[203][1], (e[2] + 82, e[3] + 2))
        for rid, k in ((201, 8), (199, 10), (202, 12), (202, 14)):
            blit_keyed(panel, pics[rid][1], (e[k], e[k + 1]))
        win.paste(panel, PANEL_ORIGIN)
    for k in range(3):
        blit_keyed(win, pics[169 if k == 0 else 170][1], (144 + 18 * k, INDICATOR_Y))
    d.text(DRIVE_LABEL, "USB DRIVE(E:)", font=small, fill=(0xB6, 0xBD, 0xC1))
    d.text(FREE_SPACE_END, "300.0MB free/2.0GB", font=small, fill=(0xB6, 0xBD, 0xC1), anchor="ra")
    return to565(win)


def preview(pics):
    """One sheet: the window at twice its size, the window with the command panel, then every bitmap doubled
    on a dark tile (black pixels are the key: they show as black here and as what lies beneath in the window)."""
    scale = 2
    sheet = Image.new("RGB", (1640, 1150), (96, 100, 106))
    d = ImageDraw.Draw(sheet)
    label = font("NanumBarunGothic.ttf", 12)
    sheet.paste(mock_window(pics, False).resize((WIDTH * 2, HEIGHT * 2), Image.Resampling.NEAREST), (10, 10))
    sheet.paste(mock_window(pics, True), (690, 10))
    panel = pics[198][1]
    sheet.paste(panel.resize((panel.width * 2, panel.height * 2), Image.Resampling.NEAREST), (1040, 10))
    d.text((1040, 10 + panel.height * 2 + 4), "198 panel 288x261", font=label, fill=(235, 235, 235))
    x, y, row_h = 690, 590, 0
    for rid, (name, img) in pics.items():
        if rid in (129, 198):
            continue
        w, h = img.width * scale, img.height * scale
        if x + w > 1630:
            x, y, row_h = 690, y + row_h + 26, 0
        sheet.paste(img.resize((w, h), Image.Resampling.NEAREST), (x, y))
        d.text((x, y + h + 4), f"{rid} {name} {img.width}x{img.height}", font=label, fill=(235, 235, 235))
        x += max(w, 150) + 14
        row_h = max(row_h, h + 14)
    return sheet


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bitmap_dir", type=Path)
    parser.add_argument("preview", type=Path, nargs="?")
    parser.add_argument("--layout-dir", type=Path, help="where the .kpt files go (default: bitmap_dir)")
    parser.add_argument("--rc", type=Path, help="write a resource script naming every bitmap by absolute path")
    parser.add_argument("--check-layout", type=Path, help="fail unless this folder's .kpt files equal the tables")
    args = parser.parse_args()

    layouts = layout_files()
    if args.check_layout:
        stale = [n for n, data in layouts.items()
                 if not (args.check_layout / n).exists() or (args.check_layout / n).read_bytes() != data]
        if stale:
            sys.exit(f"make_skin.py: {', '.join(stale)} in {args.check_layout} differ from the layout tables; "
                     f"run: tools/art/make_skin.py /tmp/skin --layout-dir {args.check_layout}")

    pics = build()
    args.bitmap_dir.mkdir(parents=True, exist_ok=True)
    lines = ["// Skin bitmaps of Tolv.exe, generated by tools/art/make_skin.py."]
    for rid, (name, img) in sorted(pics.items()):
        path = (args.bitmap_dir / f"{rid}_{name}.bmp").resolve()
        img.save(path, "BMP")
        lines.append(f'{rid} BITMAP "{path.as_posix()}"')
    layout_dir = args.layout_dir or args.bitmap_dir
    layout_dir.mkdir(parents=True, exist_ok=True)
    for name, data in layouts.items():
        write_if_changed(layout_dir / name, data)
    if args.rc:
        args.rc.parent.mkdir(parents=True, exist_ok=True)
        write_if_changed(args.rc, ("\n".join(lines) + "\n").encode())
    if args.preview:
        preview(pics).save(args.preview)


if __name__ == "__main__":
    main()

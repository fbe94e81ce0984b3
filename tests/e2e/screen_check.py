"""Screenshots of key screens compared with the references kept in tests/e2e/screens.

A pixel counts as changed when one of its channels differs from the reference by more than CHANNEL_TOLERANCE; a
screen fails when more than MAX_CHANGED_PIXELS pixels changed, or when its size changed. Masked rectangles (what
depends on the machine, such as a drive's free space, or on a blinking caret) are left out on both sides. A failed
check writes NAME-diff.png next to the screenshot: the shot dimmed, with every changed pixel in red.

With KELVO_SCREENS=refresh in the environment (./kelvo screens --refresh) every check writes its screenshot as the
new reference instead, for an intended change of the looks.
"""
import os
from dataclasses import dataclass
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw

REFERENCES = Path(__file__).resolve().parent / "screens"
# Rounding in anti-aliased text and gradients stays well below this; a drawn pixel that moved does not.
CHANNEL_TOLERANCE = 40
# A one-pixel column or row of a 48-pixel icon already exceeds this.
MAX_CHANGED_PIXELS = 24
CHANGED_COLOUR = (255, 0, 0)


def is_refreshing():
    return os.environ.get("KELVO_SCREENS", "") == "refresh"


@dataclass
class Comparison:
    changed: int  # pixels beyond the tolerance; -1 when the sizes differ
    diff: Image.Image  # the shot dimmed, changed pixels in red

    @property
    def matches(self):
        return 0 <= self.changed <= MAX_CHANGED_PIXELS


def _masked(image, masks):
    image = image.convert("RGB")
    if masks:
        image = image.copy()
        draw = ImageDraw.Draw(image)
        for left, top, right, bottom in masks:
            draw.rectangle((left, top, right - 1, bottom - 1), fill=(0, 0, 0))
    return image


def compare(reference, shot, masks=()):
    """Compares two images; masks are (left, top, right, bottom) rectangles, right and bottom exclusive."""
    if reference.size != shot.size:
        return Comparison(-1, shot.convert("RGB"))
    reference, shot = _masked(reference, masks), _masked(shot, masks)
    r, g, b = ImageChops.difference(reference, shot).split()
    largest = ImageChops.lighter(ImageChops.lighter(r, g), b)
    changed = largest.point(lambda v: 255 if v > CHANNEL_TOLERANCE else 0)
    count = changed.histogram()[255]
    diff = Image.blend(Image.new("RGB", shot.size, (0, 0, 0)), shot, 0.35)
    diff.paste(Image.new("RGB", shot.size, CHANGED_COLOUR), (0, 0), changed)
    return Comparison(count, diff)


def check(name, shot_path, masks=()):
    """Checks one screenshot against its reference; returns None when it matches (or was refreshed), else why
    not. A failure leaves NAME-diff.png beside the shot."""
    shot_path = Path(shot_path)
    reference_path = REFERENCES / f"{name}.png"
    diff_path = shot_path.with_name(f"{name}-diff.png")
    diff_path.unlink(missing_ok=True)
    with Image.open(shot_path) as opened:
        shot = opened.convert("RGB")
    if is_refreshing():
        REFERENCES.mkdir(parents=True, exist_ok=True)
        shot.save(reference_path)
        return None
    if not reference_path.exists():
        return f"no reference {reference_path.name}; after an intended change run ./kelvo screens --refresh"
    with Image.open(reference_path) as opened:
        result = compare(opened.convert("RGB"), shot, masks)
    if result.matches:
        return None
    result.diff.save(diff_path)
    if result.changed < 0:
        return f"{name}: size {shot.size} differs from the reference's; see {diff_path}"
    return (f"{name}: {result.changed} pixels differ from the reference (at most {MAX_CHANGED_PIXELS} may); "
            f"see {diff_path}, or run ./kelvo screens --refresh after an intended change")

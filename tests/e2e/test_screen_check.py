"""The reference comparison of screenshots, on made-up images: what it must catch and what it must let pass."""
import os
import tempfile
import unittest
from pathlib import Path
from unittest import mock

from PIL import Image, ImageDraw

import screen_check


def window(size=(200, 120)):
    """A small made-up screen: a caption band, some text-like strokes and a gradient."""
    image = Image.new("RGB", size, (236, 236, 236))
    draw = ImageDraw.Draw(image)
    draw.rectangle((0, 0, size[0], 18), fill=(50, 150, 250))
    for x in range(10, 150, 12):
        draw.line((x, 40, x + 6, 52), fill=(20, 20, 20), width=2)
    for y in range(70, 110):
        draw.line((0, y, size[0], y), fill=(y, 100, 200 - y))
    return image


class Compare(unittest.TestCase):
    # Catches: a comparison so loose that one moved or recoloured pixel column of art goes unseen.
    def test_one_changed_pixel_column_fails(self):
        shot = window()
        ImageDraw.Draw(shot).line((97, 20, 97, 68), fill=(250, 250, 0))
        result = screen_check.compare(window(), shot)
        self.assertFalse(result.matches)
        self.assertEqual(result.changed, 49)
        self.assertEqual(result.diff.getpixel((97, 30)), screen_check.CHANGED_COLOUR)

    # Catches: a comparison so strict that rounding in anti-aliased edges, or a few stray pixels, fail a screen.
    def test_small_rounding_and_a_few_pixels_pass(self):
        shot = Image.eval(window(), lambda v: min(255, v + 6))
        for x in range(5):
            shot.putpixel((180 + x, 60), (255, 0, 255))
        self.assertTrue(screen_check.compare(window(), shot).matches)

    # Catches: a masked rectangle (free space, a caret) still counted, or a mask that hides more than asked.
    def test_masks_leave_out_exactly_their_rectangle(self):
        shot = window()
        ImageDraw.Draw(shot).rectangle((120, 90, 169, 109), fill=(255, 255, 255))
        self.assertTrue(screen_check.compare(window(), shot, [(120, 90, 170, 110)]).matches)
        self.assertFalse(screen_check.compare(window(), shot, [(120, 90, 170, 109)]).matches)

    # Catches: a window that grew or shrank compared pixel by pixel at the corner, or passed.
    def test_a_changed_size_fails(self):
        result = screen_check.compare(window(), window((200, 121)))
        self.assertFalse(result.matches)
        self.assertEqual(result.changed, -1)


class Check(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.references = self.folder / "references"
        self.references.mkdir()
        patcher = mock.patch.object(screen_check, "REFERENCES", self.references)
        patcher.start()
        self.addCleanup(patcher.stop)
        self.shot = self.folder / "view.png"

    # Catches: a failure without its diff image, a diff left over from an earlier failure once the screen is
    # right again, and a missing reference taken as a pass.
    def test_failures_write_a_diff_and_a_missing_reference_fails(self):
        window().save(self.shot)
        self.assertIn("no reference", screen_check.check("view", self.shot))
        window().save(self.references / "view.png")
        changed = window()
        ImageDraw.Draw(changed).rectangle((0, 0, 30, 30), fill=(0, 0, 0))
        changed.save(self.shot)
        self.assertIn("pixels differ", screen_check.check("view", self.shot))
        self.assertTrue((self.folder / "view-diff.png").exists())
        window().save(self.shot)
        self.assertIsNone(screen_check.check("view", self.shot))
        self.assertFalse((self.folder / "view-diff.png").exists())

    # Catches: a refresh that compares instead of writing, or writes somewhere the next check does not read.
    def test_refresh_writes_the_reference_the_next_check_reads(self):
        changed = window()
        ImageDraw.Draw(changed).rectangle((0, 0, 30, 30), fill=(0, 0, 0))
        changed.save(self.shot)
        window().save(self.references / "view.png")
        with mock.patch.dict(os.environ, {"KELVO_SCREENS": "refresh"}):
            self.assertIsNone(screen_check.check("view", self.shot))
        self.assertIsNone(screen_check.check("view", self.shot))


if __name__ == "__main__":
    unittest.main()

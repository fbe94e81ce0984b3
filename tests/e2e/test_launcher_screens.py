"""What the user sees: three pages with item states, swipes with real mouse input, indicator clicks, progress
extremes and the background image, each kept as a screenshot under out/screens and checked at telling pixels."""
import struct
import time
import unittest
from pathlib import Path

from PIL import Image

from kelvo_e2e import ids, BIN, LAUNCHER_FREE_SPACE, KelvoTestCase, utf16_field, wait_until
from sample_env import env_xml

ROOT = Path(__file__).resolve().parents[2]
SKIN = BIN.parent / "skin-res"


def layout():
    values = struct.unpack("<34h", (ROOT / "launcher" / "skin" / "mainpoint.kpt").read_bytes()[:68])
    slots = struct.unpack("<32h", (ROOT / "launcher" / "skin" / "pagepos.kpt").read_bytes()[:64])
    area = (values[14], values[15], values[16], values[17])
    return area, values[21], [(slots[2 * i], slots[2 * i + 1]) for i in range(16)]


AREA, INDICATOR_Y, SLOTS = layout()
INDICATOR_X = {3: 144}  # first indicator of a row of three pages


def skin_colour(name, x, y):
    """A skin pixel as the 16-bit back buffer shows it (5-6-5, widened back)."""
    r, g, b = Image.open(next(SKIN.glob(f"{name}_*.bmp"))).convert("RGB").getpixel((x, y))
    return (r >> 3 << 3, g >> 2 << 2, b >> 3 << 3)


def close(a, b, tolerance=12):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class LauncherScreens(KelvoTestCase):
    def setUp(self):
        super().setUp()
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml("T:"))
        self.start_standin_agent()
        self.start_launcher()

    def indicator(self, shot, page):
        return shot.getpixel((INDICATOR_X[3] + 18 * page + 5, INDICATOR_Y + 5))

    def current_page(self, shot):
        current = skin_colour("169", 5, 5)
        found = [page for page in range(3) if close(self.indicator(shot, page), current)]
        return found[0] if len(found) == 1 else None

    def wait_for_page(self, page, name):
        # The slide takes a few dozen loop turns; the indicator shows when it has settled.
        shot = wait_until(lambda: (lambda s: s if self.current_page(s) == page else None)(self.window_shot(name)),
                          timeout=10, what=f"page {page + 1} to be current")
        time.sleep(0.3)
        return self.window_shot(name)

    def drag(self, from_x, to_x, y=AREA[1] + 120):
        self.kdrive("drag", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--from", f"{from_x},{y}", "--to",
                    f"{to_x},{y}", "--steps", "12")

    def post(self, msg, wparam=0, lparam=0):
        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(msg), "--wparam", str(wparam), "--lparam",
                    str(lparam))

    def shade_pixel(self, shot):
        x, y = SLOTS[2]
        return shot.getpixel((AREA[0] + x + 40, AREA[1] + y + 6))

    def test_pages_swipes_and_indicators(self):
        self.post(ids.kMsgJobProgress, 40, 13)
        page1 = self.wait_for_page(0, "launcher-page1")
        self.assertEqual(self.current_page(page1), 0)
        # The installing item is shaded: its corner is lighter than the page behind it.
        shaded = self.shade_pixel(page1)
        self.assertGreater(sum(shaded), 3 * 90, f"shade over the installing item, got {shaded}")
        self.check_screen("launcher-page-installing", ids.kLauncherClass, ids.kLauncherTitle, [LAUNCHER_FREE_SPACE])

        self.drag(AREA[0] + 260, AREA[0] + 40)
        self.wait_for_page(1, "launcher-page2-after-swipe")

        self.drag(AREA[0] + 200, AREA[0] + 160)
        time.sleep(0.5)
        back = self.wait_for_page(1, "launcher-slide-back")
        self.assertEqual(self.current_page(back), 1, "a short swipe slides back")

        self.kdrive("click", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--x", str(INDICATOR_X[3] + 36 + 5),
                    "--y", str(INDICATOR_Y + 5))
        self.wait_for_page(2, "launcher-indicator-click")

    def test_progress_extremes_and_finish(self):
        for percent, name in ((150, "launcher-progress-150"), (2**64 - 5, "launcher-progress-minus5")):
            self.post(ids.kMsgJobProgress, percent, 13)
            time.sleep(0.3)
            shot = self.window_shot(name)
            x, y = SLOTS[2]
            segment = shot.getpixel((AREA[0] + x + 4, AREA[1] + y + 36))
            self.assertFalse(close(segment, skin_colour("210", 1, 1), 6), f"no progress segment at {percent}")
        before = self.shade_pixel(self.window_shot("launcher-installing"))
        self.post(ids.kMsgJobFinished, 0, 13)
        wait_until(lambda: self.shade_pixel(self.window_shot("launcher-finished")) != before,
                   what="the shade to go when the job finishes")

    def test_background_image_fills_the_page_area(self):
        picture = self.logs / "배경.bmp"
        Image.new("RGB", (64, 48), (250, 200, 40)).save(picture)
        payload = self.logs / "kind7.bin"
        payload.write_bytes(utf16_field(self.to_wine(picture), 260))
        self.assertEqual(self.kdrive("copydata", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--kind", "7",
                                     "--file", self.to_wine(payload)), "1")
        time.sleep(0.3)
        shot = self.window_shot("launcher-background-on")
        # Bottom corners of the page area hold no item: the stretched picture shows there.
        for x, y in ((AREA[0] + 2, AREA[1] + AREA[3] - 3), (AREA[0] + AREA[2] - 3, AREA[1] + AREA[3] - 3)):
            self.assertTrue(close(shot.getpixel((x, y)), (250, 200, 40)), f"background at {x},{y}")
        self.kdrive("copydata", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--kind", "8", "--empty")
        time.sleep(0.3)
        off = self.window_shot("launcher-background-off")
        self.assertFalse(close(off.getpixel((AREA[0] + 2, AREA[1] + AREA[3] - 3)), (250, 200, 40)))


class LayoutFallback(KelvoTestCase):
    def test_short_and_missing_layout_files_fall_back_to_the_built_in_layout(self):
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml("T:"))
        self.start_standin_agent()
        launcher = self.start_launcher()
        time.sleep(0.5)
        reference = self.window_shot("layout-shipped")
        launcher.kill()
        self.kdrive("wait-gone", "--class", ids.kLauncherClass, "--timeout-ms", "10000")
        (self.suite_dir / "mainpoint.kpt").write_bytes(b"\x0c\x00\x0c")
        (self.suite_dir / "pagepos.kpt").unlink()
        self.start_launcher()
        time.sleep(0.5)
        fallback = self.window_shot("layout-fallback")
        # The free-space line follows the disk, which other programs fill meanwhile; the layout is all else.
        for shot in (reference, fallback):
            shot.paste((0, 0, 0), LAUNCHER_FREE_SPACE)
        self.assertEqual(list(fallback.getdata()), list(reference.getdata()),
                         "the built-in layout equals the shipped files")


if __name__ == "__main__":
    unittest.main(verbosity=2)

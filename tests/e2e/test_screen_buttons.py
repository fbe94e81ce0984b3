"""The screenshot button finder on drawn pictures: raised buttons with a caption are found whole, wherever the
search box puts them; grey table lines, flat grey areas, sunken frames and buttons cut off by the box are not."""
import unittest

from PIL import Image, ImageDraw

import screen_buttons

FACE, HIGHLIGHT, LIGHT, SHADOW, DARK = (240, 240, 240), (255, 255, 255), (227, 227, 227), (160, 160, 160), (105, 105, 105)


def draw_button(draw, left, top, right, bottom, raised=True):
    """A push button as DrawFrameControl draws it: two-pixel raised edge, face, a dark caption in the middle.
    Returns the face's rectangle (right and bottom exclusive)."""
    outer_lt, inner_lt, inner_rb, outer_rb = (HIGHLIGHT, LIGHT, SHADOW, DARK) if raised else \
        (DARK, SHADOW, LIGHT, HIGHLIGHT)
    draw.rectangle((left, top, right - 1, bottom - 1), fill=outer_rb)
    draw.rectangle((left, top, right - 2, bottom - 2), fill=outer_lt)
    draw.rectangle((left + 1, top + 1, right - 2, bottom - 2), fill=inner_rb)
    draw.rectangle((left + 1, top + 1, right - 3, bottom - 3), fill=inner_lt)
    draw.rectangle((left + 2, top + 2, right - 3, bottom - 3), fill=FACE)
    middle_y = (top + bottom) // 2
    draw.rectangle((left + 8, middle_y - 3, right - 10, middle_y + 3), fill=(0, 0, 0))
    return (left + 2, top + 2, right - 2, bottom - 2)


class FindButtons(unittest.TestCase):
    def picture(self):
        image = Image.new("RGB", (400, 300), (255, 255, 255))
        draw = ImageDraw.Draw(image)
        # A table's grid in the face's own grey, and a flat grey cell that has no border at all.
        for y in range(10, 300, 30):
            draw.line((0, y, 399, y), fill=FACE)
        draw.line((200, 0, 200, 299), fill=FACE)
        draw.rectangle((220, 40, 300, 70), fill=FACE)
        return image, draw

    # Catches: letters on the face splitting a button, a grid or a flat grey area taken for a button, the list
    # out of order (the last row's button must come last), a sunken frame taken for a raised button.
    def test_raised_buttons_are_found_and_nothing_else(self):
        image, draw = self.picture()
        low = draw_button(draw, 40, 200, 110, 224)
        high = draw_button(draw, 40, 100, 110, 124)
        draw_button(draw, 250, 150, 320, 174, raised=False)
        self.assertEqual(screen_buttons.find_buttons(image), [high, low])
        self.assertEqual(screen_buttons.centre(low), (75, 212))

    # Catches: box-relative rectangles handed back as image coordinates, and a button the box cuts off (its lower
    # edge unseen) reported as a whole one.
    def test_the_search_box_limits_and_offsets(self):
        image, draw = self.picture()
        inside = draw_button(draw, 60, 120, 140, 146)
        draw_button(draw, 60, 180, 140, 206)
        self.assertEqual(screen_buttons.find_buttons(image, box=(30, 100, 380, 195)), [inside])

    def test_a_face_colour_other_than_the_most_common_grey(self):
        image, draw = self.picture()
        draw.rectangle((0, 250, 399, 299), fill=(200, 200, 200))  # a large grey footer
        button = draw_button(draw, 300, 100, 360, 122)
        self.assertEqual(screen_buttons.find_buttons(image), [button])


if __name__ == "__main__":
    unittest.main()

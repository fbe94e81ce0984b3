"""Finds push buttons on a screenshot, as a user's eye does: a patch of the light grey button face with a raised 3D
border (lighter above and left, darker below and right), the way DrawFrameControl draws DFCS_BUTTONPUSH. Text on
the face and a light inner edge are part of the patch; thin grey lines (table borders) and flat grey areas without
the dark lower-right edge are not buttons."""

MIN_WIDTH, MIN_HEIGHT = 16, 10
MAX_WIDTH, MAX_HEIGHT = 400, 80
# How much of the patch's box the face fills (the caption's letters take the rest), and how much of the lower and
# right edges must be dark.
MIN_FILL = 0.55
MIN_DARK_EDGE = 0.8
DARKER_BY = 40


def luminance(pixel):
    r, g, b = pixel[:3]
    return (r * 299 + g * 587 + b * 114) // 1000


def is_light_grey(pixel):
    r, g, b = pixel[:3]
    return max(r, g, b) - min(r, g, b) <= 12 and 170 <= (r + g + b) // 3 <= 248


def face_candidates(image, count=4):
    """The most common light greys of the image, most common first: the button face is one of them (a table's
    grey lines or a grey area may be more common)."""
    counts = {}
    for pixel in image.getdata():
        if is_light_grey(pixel):
            counts[pixel[:3]] = counts.get(pixel[:3], 0) + 1
    return sorted(counts, key=counts.get, reverse=True)[:count]


def _patches(pixels, width, height, face):
    """The bounding boxes (left, top, right, bottom exclusive) and pixel counts of the face's connected patches."""
    seen = bytearray(width * height)
    for y in range(height):
        for x in range(width):
            if seen[y * width + x] or pixels[x, y][:3] != face:
                continue
            stack, count = [(x, y)], 0
            seen[y * width + x] = 1
            left, top, right, bottom = x, y, x, y
            while stack:
                px, py = stack.pop()
                count += 1
                left, right, top, bottom = min(left, px), max(right, px), min(top, py), max(bottom, py)
                for nx, ny in ((px + 1, py), (px - 1, py), (px, py + 1), (px, py - 1)):
                    if 0 <= nx < width and 0 <= ny < height and not seen[ny * width + nx] and \
                            pixels[nx, ny][:3] == face:
                        seen[ny * width + nx] = 1
                        stack.append((nx, ny))
            yield (left, top, right + 1, bottom + 1), count


def _dark_share(pixels, points, face_light):
    points = list(points)
    dark = sum(1 for point in points if luminance(pixels[point]) <= face_light - DARKER_BY)
    return dark / len(points) if points else 0.0


def find_buttons(image, box=None, face=None):
    """The push buttons inside box (of the image; the whole image when None), as (left, top, right, bottom)
    rectangles of their faces in image coordinates, top to bottom, then left to right."""
    box = box or (0, 0, image.width, image.height)
    region = image.crop(box).convert("RGB")
    for candidate in ([face] if face else face_candidates(region)):
        found = _buttons_of_face(region, candidate)
        if found:
            return sorted(((l + box[0], t + box[1], r + box[0], b + box[1]) for l, t, r, b in found),
                          key=lambda rect: (rect[1], rect[0]))
    return []


def _buttons_of_face(region, face):
    pixels = region.load()
    face_light = luminance(face)
    found = []
    for (left, top, right, bottom), count in _patches(pixels, region.width, region.height, face):
        width, height = right - left, bottom - top
        if not (MIN_WIDTH <= width <= MAX_WIDTH and MIN_HEIGHT <= height <= MAX_HEIGHT):
            continue
        if count < MIN_FILL * width * height or right >= region.width or bottom >= region.height:
            continue
        # The border's lower and right sides lie just outside the face.
        below = ((x, bottom) for x in range(left + 2, right - 2))
        beside = ((right, y) for y in range(top + 2, bottom - 2))
        if _dark_share(pixels, below, face_light) < MIN_DARK_EDGE or \
                _dark_share(pixels, beside, face_light) < MIN_DARK_EDGE:
            continue
        found.append((left, top, right, bottom))
    return found


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2

# SPDX-License-Identifier: MIT
"""Contact sheets: for one case, a strip of crops around the hole (its
bounding box and a margin) of the original, the input with the hole shown,
and every tool's result, each labelled, to judge by eye."""
import numpy as np
from PIL import Image, ImageDraw, ImageFont

CROP_HEIGHT = 320     # crops taller than this are scaled down, smaller ones up to twice
LABEL_HEIGHT = 36
GAP = 6
HOLE_TINT = np.array([255, 125, 125])
FONT_PATHS = ['/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf']


def font(size):
    for path in FONT_PATHS:
        try:
            return ImageFont.truetype(path, size)
        except OSError:
            continue
    return ImageFont.load_default()


def crop_box(hole, margin_share=0.35, least_margin=24):
    rows = np.flatnonzero(hole.any(axis=1))
    columns = np.flatnonzero(hole.any(axis=0))
    top, bottom, left, right = rows[0], rows[-1] + 1, columns[0], columns[-1] + 1
    margin = max(least_margin, int(margin_share * max(bottom - top, right - left)))
    return (max(top - margin, 0), min(bottom + margin, hole.shape[0]),
            max(left - margin, 0), min(right + margin, hole.shape[1]))


def with_hole_shown(picture, hole):
    """The input as the tool sees it: the hole painted in the removal colour."""
    shown = picture.copy()
    shown[hole] = (0.25 * shown[hole] + 0.75 * HOLE_TINT).astype(np.uint8)
    return shown


def contact_sheet(title, original_rgb, hole, tiles, path):
    """tiles: (label, second line, RGB picture or None when the tool gave none)."""
    top, bottom, left, right = crop_box(hole)
    height = bottom - top
    scale = min(CROP_HEIGHT / height, 2.0)
    size = (max(1, round((right - left) * scale)), max(1, round(height * scale)))
    # Nearest neighbour when enlarging, so seams and copied pixels stay visible.
    resample = Image.NEAREST if scale >= 1 else Image.LANCZOS
    entries = [('original', '', original_rgb), ('input', f'hole {int(hole.sum())} px',
                                                 with_hole_shown(original_rgb, hole))] + list(tiles)
    width = len(entries) * (size[0] + GAP) + GAP
    sheet = Image.new('RGB', (width, size[1] + LABEL_HEIGHT + 28), (255, 255, 255))
    draw = ImageDraw.Draw(sheet)
    draw.text((GAP, 4), title, fill=(0, 0, 0), font=font(16))
    small = font(12)
    for index, (label, detail, picture) in enumerate(entries):
        x = GAP + index * (size[0] + GAP)
        y = 28
        draw.text((x, y), label, fill=(0, 0, 0), font=small)
        draw.text((x, y + 15), detail, fill=(80, 80, 80), font=small)
        if picture is None:
            draw.rectangle([x, y + LABEL_HEIGHT, x + size[0] - 1, y + LABEL_HEIGHT + size[1] - 1],
                           outline=(160, 160, 160))
            continue
        crop = Image.fromarray(picture[top:bottom, left:right]).resize(size, resample)
        sheet.paste(crop, (x, y + LABEL_HEIGHT))
    sheet.save(path, optimize=True)

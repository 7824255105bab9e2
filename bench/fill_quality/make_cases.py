#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Rebuilds the fill-quality cases in cases/ from their sources.

The committed cases are what the benchmark reads; this script records how
they were made and remakes them. Pictures come from Debian's wallpaper
packages (fetched with `apt-get download` into --sources and unpacked there,
never installed) and from ../shared/samples. Every picture is scaled to about
one megapixel (the 512 x 512 textures stay as they are) and saved as JPEG;
every hole is drawn without anti-aliasing in the removal colour
RGB(255, 125, 125) on black, the overlay the tool reads.

Usage: make_cases.py [--sources DIR] [--shared DIR]
"""
import argparse
import json
import math
import shutil
import subprocess
import sys
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
CASES = HERE / 'cases'
REMOVAL = (255, 125, 125)
JPEG_QUALITY = 92

PLASMA = 'plasma-workspace-wallpapers'
PLASMA_LICENCE = 'LGPL-3 (the wallpaper\'s metadata); Debian\'s copyright file: GPL-2+'
MATE = 'mate-backgrounds'
LOMIRI16 = 'lomiri-wallpapers-16.04'
LOMIRI20 = 'lomiri-wallpapers-20.04'
SHARED = 'shared'
SHARED_LICENCE = 'CC0 (CC0Textures, as scikit-image documents it)'

# name: (package, path in the package or in shared/, author, licence)
PICTURES = {
    'darkest_hour': (PLASMA, 'usr/share/wallpapers/DarkestHour/contents/images/2560x1600.jpg',
                     'Risto Saukonpää', PLASMA_LICENCE),
    'summer_1am': (PLASMA, 'usr/share/wallpapers/summer_1am/contents/images/2560x1600.jpg',
                   'Risto Saukonpää', PLASMA_LICENCE),
    'evening_glow': (PLASMA, 'usr/share/wallpapers/EveningGlow/contents/images/2560x1600.jpg',
                     'Ian Hex', PLASMA_LICENCE),
    'path': (PLASMA, 'usr/share/wallpapers/Path/contents/images/2560x1600.jpg',
             'Risto Saukonpää', PLASMA_LICENCE),
    'by_the_water': (PLASMA, 'usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg',
                     'Maciej Wiklo', PLASMA_LICENCE),
    'cold_ripple': (PLASMA, 'usr/share/wallpapers/ColdRipple/contents/images/2560x1600.jpg',
                    'Risto Saukonpää', PLASMA_LICENCE),
    'colorful_cups': (PLASMA, 'usr/share/wallpapers/ColorfulCups/contents/images/2560x1600.jpg',
                      'Dmitri Popov', PLASMA_LICENCE),
    'one_stands_out': (PLASMA, 'usr/share/wallpapers/OneStandsOut/contents/images/2560x1600.jpg',
                       'Risto Saukonpää', PLASMA_LICENCE),
    'storm': (MATE, 'usr/share/backgrounds/mate/nature/Storm.jpg', 'Sergey Nazarov', 'GPL-2+'),
    'bridge': (LOMIRI16, 'usr/share/backgrounds/Bridge_by_Sander_Klootwijk.jpg',
               'Sander Klootwijk', 'CC-BY-SA-4.0'),
    'aitzgorri': (LOMIRI16, 'usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg',
                  'Aitzol Berasategi', 'CC-BY-4.0'),
    'sunset': (LOMIRI16, 'usr/share/backgrounds/sunset_by_Aitzol_Berasategi.jpg',
               'Aitzol Berasategi', 'CC-BY-4.0'),
    'kleiber': (LOMIRI20, 'usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg',
                'Lukas Baubkus', 'CC-BY-SA-3.0'),
    'infinite_sea': (LOMIRI20, 'usr/share/backgrounds/Infinite-Sea_by_Aury88.jpg',
                     'Aury88', 'CC-BY-SA-3.0'),
    'grass': (SHARED, 'grass.png', 'CC0Textures, via scikit-image', SHARED_LICENCE),
    'gravel': (SHARED, 'gravel.png', 'CC0Textures, via scikit-image', SHARED_LICENCE),
    'brick': (SHARED, 'brick.png', 'CC0Textures, via scikit-image', SHARED_LICENCE),
}


# Hole shapes, in the picture's pixels. Each draws filled on a 1-bit layer.
def person(draw, cx, top, height):
    """A standing person seen from the front, arms at the sides: one filled
    silhouette, as a selection around a person would be."""
    h = height
    draw.ellipse([cx - 0.065 * h, top, cx + 0.065 * h, top + 0.15 * h], fill=1)
    draw.rectangle([cx - 0.035 * h, top + 0.13 * h, cx + 0.035 * h, top + 0.18 * h], fill=1)
    draw.polygon([(cx - 0.2 * h, top + 0.17 * h), (cx + 0.2 * h, top + 0.17 * h),
                  (cx + 0.19 * h, top + 0.52 * h), (cx + 0.12 * h, top + 0.56 * h),
                  (cx + 0.12 * h, top + h), (cx - 0.12 * h, top + h),
                  (cx - 0.12 * h, top + 0.56 * h), (cx - 0.19 * h, top + 0.52 * h)], fill=1)


def post(draw, cx, top, width, height):
    """A post or pole: a rectangle with a rounded top."""
    draw.ellipse([cx - width / 2, top, cx + width / 2, top + width], fill=1)
    draw.rectangle([cx - width / 2, top + width / 2, cx + width / 2, top + height], fill=1)


def blob(draw, cx, cy, rx, ry, seed, angle=0.0):
    """An irregular round shape: an ellipse whose radius wavers with a few
    harmonics, their phases fixed by seed (no random generator, so the shape
    is the same everywhere)."""
    points = []
    for i in range(96):
        t = 2 * math.pi * i / 96
        wobble = 1.0 + sum(0.07 / k * 2 * math.cos(k * t + seed * k * 2.399) for k in (2, 3, 5))
        x, y = rx * wobble * math.cos(t), ry * wobble * math.sin(t)
        c, s = math.cos(angle), math.sin(angle)
        points.append((cx + c * x - s * y, cy + s * x + c * y))
    draw.polygon(points, fill=1)


def bird(draw, cx, cy, size):
    """A perched bird facing right, the size of its body's length."""
    blob(draw, cx, cy, 0.5 * size, 0.32 * size, seed=1, angle=-0.5)
    draw.ellipse([cx + 0.25 * size, cy - 0.55 * size, cx + 0.6 * size, cy - 0.2 * size], fill=1)
    draw.polygon([(cx - 0.35 * size, cy + 0.05 * size), (cx - 0.85 * size, cy + 0.55 * size),
                  (cx - 0.6 * size, cy + 0.65 * size), (cx - 0.1 * size, cy + 0.3 * size)], fill=1)


# name: (class, picture, what, holes)
CASES_TABLE = {
    'horizon_treeline_mist': ('structure', 'darkest_hour',
                              'person across a misty lake horizon, its tree line and their reflection',
                              [(person, 470, 390, 300)]),
    'horizon_lake_dusk': ('structure', 'summer_1am',
                          'person across a lake horizon at dusk: far shore, its reflection, glow',
                          [(person, 560, 370, 300)]),
    'horizon_sea_night': ('structure', 'infinite_sea',
                          'post across a straight sea horizon under the night sky',
                          [(post, 235, 520, 70, 380)]),
    'horizon_road_storm': ('structure', 'storm',
                           'person across a horizon and the straight lines of a road',
                           [(person, 650, 400, 320)]),
    'shoreline_hills_boats': ('structure', 'evening_glow',
                              'blob across hills, a tree line and the lake shore behind boats',
                              [(blob, 220, 270, 60, 110, 3)]),
    'shoreline_beach': ('structure', 'bridge',
                        'person across far hills, water and the diagonal edge of a beach',
                        [(person, 1150, 490, 250)]),
    'shoreline_deck': ('structure', 'by_the_water',
                       'person across the edge of a wooden deck against water and its board lines',
                       [(person, 380, 220, 320)]),
    'ridge_mountain': ('structure', 'aitzgorri',
                       'blob across a mountain ridge against the sky and the edge of autumn trees',
                       [(blob, 300, 220, 65, 110, 5)]),
    'edge_trunk_bird': ('structure', 'kleiber',
                        'bird on the edge of a tree trunk against a blurred background',
                        [(bird, 585, 615, 170)]),
    'edge_forest_trunk': ('structure', 'path',
                          'person in front of a spruce trunk in a forest',
                          [(person, 555, 250, 300)]),
    'edge_cable_diagonal': ('structure', 'bridge',
                            'post across a straight diagonal cable against the sky',
                            [(post, 335, 60, 70, 270)]),
    'edge_pier_straight': ('structure', 'cold_ripple',
                           'person across the straight edges of a pier in fog',
                           [(person, 250, 400, 300)]),
    'curve_forest_path': ('structure', 'path',
                          'blob across a curving forest path',
                          [(blob, 320, 560, 70, 90, 7)]),
    'curve_cup_rims': ('structure', 'colorful_cups',
                       'blob across the curved rims of two cups',
                       [(blob, 600, 430, 70, 100, 2)]),
    'horizon_reflection_mist': ('structure', 'darkest_hour',
                                'wide blob across a tree line and its mirror reflection in calm misty water',
                                [(blob, 860, 505, 120, 85, 11)]),
    'horizon_reflection_dusk': ('structure', 'summer_1am',
                                'wide blob across a far tree line and its mirror reflection in a lake at dusk',
                                [(blob, 1000, 480, 120, 80, 12)]),
    'texture_moss': ('texture', 'one_stands_out', 'blob in moss',
                     [(blob, 300, 250, 80, 100, 4)]),
    'texture_grass': ('texture', 'grass', 'blob in grass (512 x 512, grey)',
                      [(blob, 256, 256, 45, 55, 6)]),
    'texture_gravel': ('texture', 'gravel', 'blob in gravel (512 x 512, grey)',
                       [(blob, 250, 260, 50, 50, 8)]),
    'texture_brick': ('texture', 'brick', 'blob on a brick wall (512 x 512, grey)',
                      [(blob, 260, 250, 55, 45, 9)]),
}

# The speed cases: the picture, its size (None: as the source is) and the hole.
TIMING_TABLE = {
    'timing_1mp': ('sunset', (1224, 816), 'ellipse of 25,000 pixels across the horizon', (300, 400, 80, 100)),
    'timing_12mp': ('sunset', None, 'ellipse of 300,000 pixels across the horizon', (1047, 1396, 276, 346)),
}


def fetch_package(package, sources):
    """Unpacks a Debian package into sources/package (download only)."""
    folder = sources / package
    if folder.is_dir():
        return folder
    sources.mkdir(parents=True, exist_ok=True)
    # apt's note that root downloads unsandboxed is noise here; its errors are not.
    fetched = subprocess.run(['apt-get', 'download', package], cwd=sources, capture_output=True, text=True)
    if fetched.returncode != 0:
        sys.exit(f'apt-get download {package} failed:\n{fetched.stderr}')
    deb = next(sources.glob(f'{package}_*.deb'))
    subprocess.run(['dpkg-deb', '-x', str(deb), str(folder)], check=True)
    (folder / 'VERSION').write_text(deb.name.split('_')[1].replace('%3a', ':'))
    return folder


def source_file(picture, sources, shared):
    package, path, _, _ = PICTURES[picture]
    if package == SHARED:
        return shared / path, 'shared/samples'
    folder = fetch_package(package, sources)
    return folder / path, f'{package} {(folder / "VERSION").read_text()}'


def one_megapixel(size):
    width, height = size
    scale = math.sqrt(1e6 / (width * height))
    return round(width * scale / 8) * 8, round(height * scale / 8) * 8


def load_picture(path, size=None):
    picture = Image.open(path)
    picture = picture.convert('RGB') if picture.mode not in ('RGB', 'L') else picture
    if size is None and picture.width * picture.height > 1.5e6:
        size = one_megapixel(picture.size)
    if size is not None and size != picture.size:
        picture = picture.resize(size, Image.LANCZOS)
    return picture


def save_overlay(size, draw_holes, path):
    layer = Image.new('1', size, 0)
    draw_holes(ImageDraw.Draw(layer))
    hole = np.array(layer, dtype=bool)
    overlay = np.zeros((size[1], size[0], 3), np.uint8)
    overlay[hole] = REMOVAL
    Image.fromarray(overlay).save(path, optimize=True)
    return int(hole.sum())


def save_picture(picture, path):
    if path.suffix == '.png':
        picture.save(path, optimize=True)
    else:
        picture.save(path, quality=JPEG_QUALITY, subsampling=0, optimize=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--sources', type=Path, default=REPO / 'build' / 'fill-quality' / 'sources')
    parser.add_argument('--shared', type=Path, default=REPO.parent / 'shared' / 'samples')
    arguments = parser.parse_args()

    CASES.mkdir(exist_ok=True)
    record = {'pictures': {}, 'cases': {}, 'timing': {}}
    sizes = {}
    for picture in sorted({case[1] for case in CASES_TABLE.values()}):
        path, origin = source_file(picture, arguments.sources, arguments.shared)
        image = load_picture(path)
        file_name = f'{picture}.png' if image.mode == 'L' else f'{picture}.jpg'
        save_picture(image, CASES / file_name)
        sizes[picture] = image.size
        package, inner, author, licence = PICTURES[picture]
        record['pictures'][picture] = {'file': file_name, 'source': origin, 'path': inner, 'author': author,
                                       'licence': licence, 'source size': list(Image.open(path).size),
                                       'size': list(image.size)}
    for name, (kind, picture, what, holes) in CASES_TABLE.items():
        def draw_holes(draw, holes=holes):
            for shape, *parameters in holes:
                shape(draw, *parameters)
        area = save_overlay(sizes[picture], draw_holes, CASES / f'{name}_overlay.png')
        record['cases'][name] = {'class': kind, 'picture': picture, 'what': what, 'hole pixels': area}
        print(f'{name}: {kind}, {sizes[picture][0]} x {sizes[picture][1]}, hole {area} pixels')
    for name, (picture, size, what, (cx, cy, rx, ry)) in TIMING_TABLE.items():
        path, origin = source_file(picture, arguments.sources, arguments.shared)
        if size is None:
            # The source file itself, byte for byte: no second JPEG generation.
            shutil.copyfile(path, CASES / f'{name}.jpg')
            size = Image.open(path).size
        else:
            save_picture(load_picture(path, size), CASES / f'{name}.jpg')
        area = save_overlay(size, lambda draw: draw.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], fill=1),
                            CASES / f'{name}_overlay.png')
        package, inner, author, licence = PICTURES[picture]
        record['timing'][name] = {'file': f'{name}.jpg', 'what': what, 'hole pixels': area, 'size': list(size),
                                  'source': origin, 'path': inner, 'author': author, 'licence': licence,
                                  'source size': list(Image.open(path).size)}
        print(f'{name}: {size[0]} x {size[1]}, hole {area} pixels')
    (CASES / 'cases.json').write_text(json.dumps(record, indent=1, ensure_ascii=False) + '\n')
    write_sources(record)


def write_sources(record):
    lines = ['# Fill-quality cases: sources and licences', '',
             'Made by `bench/fill_quality/make_cases.py` from the pictures below; the holes were drawn',
             'for Quenlo (MIT). Each picture keeps its own licence and its author\'s name; the pictures',
             'were scaled (Lanczos) to about one megapixel and saved as JPEG (quality 92, no chroma',
             'subsampling), except the 512 x 512 textures (PNG, as they are) and `timing_12mp.jpg`',
             '(the source file unchanged).', '',
             '| file | author | licence | source (Debian package and version, path in it) | source size |',
             '|---|---|---|---|---|']
    for entry in record['pictures'].values():
        lines.append(f"| {entry['file']} | {entry['author']} | {entry['licence']} | {entry['source']}, "
                     f"`{entry['path']}` | {entry['source size'][0]} x {entry['source size'][1]} |")
    for entry in record['timing'].values():
        lines.append(f"| {entry['file']} | {entry['author']} | {entry['licence']} | {entry['source']}, "
                     f"`{entry['path']}` | {entry['source size'][0]} x {entry['source size'][1]} |")
    lines += ['', 'Pictures from `shared/samples` come from the scikit-image data folder as Debian\'s',
              'python3-skimage package ships it.', '',
              '| case | class | picture | size | hole pixels | what |', '|---|---|---|---|---|---|']
    for name, case in record['cases'].items():
        size = record['pictures'][case['picture']]['size']
        lines.append(f"| {name} | {case['class']} | {record['pictures'][case['picture']]['file']} | "
                     f"{size[0]} x {size[1]} | {case['hole pixels']} | {case['what']} |")
    for name, case in record['timing'].items():
        lines.append(f"| {name} | speed | {case['file']} | {case['size'][0]} x {case['size'][1]} | "
                     f"{case['hole pixels']} | {case['what']} |")
    (CASES / 'SOURCES.md').write_text('\n'.join(lines) + '\n')


if __name__ == '__main__':
    sys.exit(main())

#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Guide lines on borders between two textures.

Each case lays two photographed textures side by side along a known border
(straight, slanted or curved), cuts a hole across it and draws the true
border over the hole in guide blue. quenlo-inpaint fills it with the
structure method with and without the guide. A hole pixel is on the right
side when the mean greenness (green less the mean of red and blue) of its
9 x 9 neighbourhood in the result is nearer to its own side's texture than
to the other's: the grass below is tinted green, the gravel above is grey. Along the border,
every column of the hole must hold a change of side (else: a gap), and the
change may move from one column to the next by at most two pixels more than
the true border does (else: a step).

Usage: run.py [--binary build/release/bin/quenlo-inpaint] [--out DIR] [--write]
--write puts the table into bench/results.md between its guide markers."""
import argparse
import hashlib
import math
import re
import subprocess
import sys
import time
from pathlib import Path

import cv2
import numpy as np

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
TEXTURES = HERE.parent / 'fill_quality' / 'cases'
HOLE = (125, 125, 255)   # BGR of the removal stroke
GUIDE = (255, 125, 75)   # BGR of guide blue
W, H = 1000, 750


def border_of(kind):
    x = np.arange(W, dtype=float)
    return {
        'straight': 370 + 0 * x,
        'slanted': 250 + 0.35 * x,
        'gentle curve': 300 + 160 * ((x - 500) / 500) ** 2,
        'bend': 380 + 110 * np.sin(x / 230.0),
        's-curve': 375 + 90 * np.tanh((x - 500) / 120.0),
        'arc': 620 - np.sqrt(np.maximum(0, 480 ** 2 - (x - 500) ** 2)) * 0.75,
    }[kind]


def tiled(name, tint):
    texture = cv2.imread(str(TEXTURES / name)).astype(float)
    reps = (math.ceil(H / texture.shape[0]) + 1, math.ceil(W / texture.shape[1]) + 1, 1)
    big = np.tile(np.concatenate([texture, texture[:, ::-1]], 1), (reps[0], (reps[1] + 1) // 2, 1))
    return np.clip(big[:H, :W] * tint, 0, 255)


def make_case(kind, hole_centre):
    border = border_of(kind)
    above = tiled('gravel.png', np.array([1.0, 1.0, 1.0]))
    below = tiled('grass.png', np.array([0.8, 1.1, 0.8]))
    rows = np.arange(H)[:, None]
    lower = rows >= border[None, :]
    picture = np.where(lower[..., None], below, above).astype(np.uint8)
    hole = np.zeros((H, W), np.uint8)
    cx, cy = hole_centre
    cv2.ellipse(hole, (cx, int(border[cx]) + cy), (75, 105), 0, 0, 360, 255, -1)
    overlay = np.zeros_like(picture)
    overlay[hole > 0] = HOLE
    guided = overlay.copy()
    xs = np.arange(cx - 190, cx + 191)
    points = np.stack([xs, np.round(border[xs])], 1).astype(np.int32).reshape(-1, 1, 2)
    cv2.polylines(guided, [points], False, GUIDE, 1)
    side_means = (greenness(above).mean(), greenness(below).mean())
    return picture, overlay, guided, hole > 0, lower, border, side_means


CASES = [('straight', (500, 0)), ('slanted', (450, 10)), ('gentle curve', (560, -20)),
         ('bend', (420, 0)), ('s-curve', (500, 15)), ('arc', (600, 0))]


def greenness(picture):
    picture = picture.astype(float)
    return picture[..., 1] - (picture[..., 0] + picture[..., 2]) / 2


def judge(result, hole, lower, border, side_means):
    mean = cv2.blur(greenness(result), (9, 9))
    seen_lower = np.abs(mean - side_means[1]) < np.abs(mean - side_means[0])
    right = (seen_lower == lower)[hole].mean()
    columns = np.nonzero(hole.any(0))[0]
    found = []
    gaps = 0
    for x in columns:
        ys = np.nonzero(hole[:, x])[0]
        change = np.nonzero(seen_lower[ys[0]:ys[-1] + 1, x][1:] != seen_lower[ys[0]:ys[-1] + 1, x][:-1])[0]
        true = border[x]
        if true < ys[0] or true > ys[-1]:
            continue
        if len(change) == 0:
            gaps += 1
            found.append(None)
            continue
        nearest = ys[0] + change[np.argmin(np.abs(ys[0] + change + 0.5 - true))] + 0.5
        found.append((x, nearest - true))
    steps = [abs(b[1] - a[1]) for a, b in zip(found, found[1:]) if a is not None and b is not None]
    return right, gaps, max(steps) if steps else float('nan')


def fill(binary, picture, overlay, out, name):
    cv2.imwrite(str(out / f'{name}_overlay.png'), overlay)
    result = out / f'{name}_result.png'
    command = [str(binary), str(out / 'picture.png'), str(result), '--overlay', str(out / f'{name}_overlay.png'),
               '--method', 'structure', '--quiet']
    start = time.perf_counter()
    subprocess.run(command, check=True)
    seconds = time.perf_counter() - start
    return cv2.imread(str(result)), seconds, hashlib.sha256(result.read_bytes()).hexdigest()[:16]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--binary', default=str(ROOT / 'build/release/bin/quenlo-inpaint'))
    parser.add_argument('--out', default=str(ROOT / 'build/guide-quality'))
    parser.add_argument('--write', action='store_true')
    args = parser.parse_args()
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    lines = ['| case | hole pixels | right side, the original | right side, no guide | right side, guide | gap columns, no guide / guide '
             '| widest step (px), no guide / guide | seconds, no guide / guide | result hashes |',
             '|---|---|---|---|---|---|---|---|---|']
    totals = []
    for kind, centre in CASES:
        picture, overlay, guided, hole, lower, border, means = make_case(kind, centre)
        cv2.imwrite(str(out / 'picture.png'), picture)
        name = kind.replace(' ', '_')
        plain, plain_time, plain_hash = fill(args.binary, picture, overlay, out, name)
        guide, guide_time, guide_hash = fill(args.binary, picture, guided, out, name + '_guided')
        truth = judge(picture, hole, lower, border, means)
        a = judge(plain, hole, lower, border, means)
        b = judge(guide, hole, lower, border, means)
        totals.append((a[0], b[0], plain_time, guide_time))
        ys, xs = np.nonzero(hole)
        crop = lambda img: img[max(0, ys.min() - 40):ys.max() + 40, max(0, xs.min() - 40):xs.max() + 40]
        shown = picture.copy()
        shown[hole] = HOLE
        cv2.imwrite(str(out / f'{name}_sheet.png'), np.hstack([crop(picture), crop(shown), crop(plain), crop(guide)]))
        lines.append(f'| {kind} | {hole.sum():,} | {truth[0]:.1%} | {a[0]:.1%} | {b[0]:.1%} | {a[1]} / {b[1]} | {a[2]:.1f} / {b[2]:.1f} '
                     f'| {plain_time:.2f} / {guide_time:.2f} | `{plain_hash}` `{guide_hash}` |')
        print(lines[-1], flush=True)
    mean = np.mean(totals, axis=0)
    lines.append(f'| **mean** | | | {mean[0]:.1%} | {mean[1]:.1%} | | | {mean[2]:.2f} / {mean[3]:.2f} | |')
    print(lines[-1])
    print(f'contact sheets (truth, hole, no guide, guide): {out}/*_sheet.png')
    if args.write:
        results = ROOT / 'bench' / 'results.md'
        text = results.read_text()
        section = '<!-- guide-quality -->\n' + '\n'.join(lines) + '\n<!-- /guide-quality -->'
        if '<!-- guide-quality -->' in text:
            text = re.sub(r'<!-- guide-quality -->.*<!-- /guide-quality -->', lambda m: section, text, flags=re.S)
        else:
            text += '\n## Guide lines on borders between two textures\n\n' + section + '\n'
        results.write_text(text)


if __name__ == '__main__':
    sys.exit(main())

# SPDX-License-Identifier: MIT
"""How close a fill is to the picture that was there, over the hole's
bounding box, and whether the edges that enter the hole go on in it.

Pictures are H x W x 3 uint8 arrays (BGR, as OpenCV reads them); the hole is
an H x W bool array. Definitions are in bench/README.md."""
import math

import cv2
import numpy as np

SSIM_WINDOW = 11
SSIM_SIGMA = 1.5
SSIM_K1, SSIM_K2 = 0.01, 0.03

EDGE_SMOOTHING = 1.0      # Gaussian sigma before the gradients, in pixels
EDGE_STRENGTH = 3.0       # least gradient (grey levels per pixel) of an edge that counts
EDGE_CROSSING = 0.5       # least |cos| between an edge's direction and the way into the hole
EDGE_DEPTHS = (2, 4, 8, 16, 32)  # how far into the hole each edge is followed, in pixels
EDGE_TOLERANCE = 2        # how far from the expected place an edge may be, in pixels
EDGE_KEEP = 0.5           # least share of the entering edge's strength that counts as the same edge
EDGE_ANGLE = math.radians(30)  # most turn of the gradient that counts as the same edge


def bounding_box(hole):
    """(top, bottom, left, right), bottom and right exclusive."""
    rows = np.flatnonzero(hole.any(axis=1))
    columns = np.flatnonzero(hole.any(axis=0))
    return rows[0], rows[-1] + 1, columns[0], columns[-1] + 1


def mean_absolute_error(truth, result, where):
    """Mean of |difference| over the selected pixels, every channel, 0-255."""
    return float(np.mean(np.abs(truth[where].astype(np.float64) - result[where])))


def psnr(truth, result, where):
    mse = np.mean((truth[where].astype(np.float64) - result[where]) ** 2)
    return math.inf if mse == 0 else 10 * math.log10(255.0 ** 2 / mse)


def gaussian_kernel(size, sigma):
    offsets = np.arange(size) - (size - 1) / 2
    kernel = np.exp(-offsets ** 2 / (2 * sigma ** 2))
    return kernel / kernel.sum()


def ssim_map(truth, result):
    """SSIM of Wang et al. (2004) at every pixel of one channel (float64)."""
    kernel = gaussian_kernel(SSIM_WINDOW, SSIM_SIGMA)

    def blur(image):
        return cv2.sepFilter2D(image, cv2.CV_64F, kernel, kernel, borderType=cv2.BORDER_REFLECT)

    c1, c2 = (SSIM_K1 * 255) ** 2, (SSIM_K2 * 255) ** 2
    mu_x, mu_y = blur(truth), blur(result)
    var_x = blur(truth * truth) - mu_x ** 2
    var_y = blur(result * result) - mu_y ** 2
    cov = blur(truth * result) - mu_x * mu_y
    return ((2 * mu_x * mu_y + c1) * (2 * cov + c2)) / ((mu_x ** 2 + mu_y ** 2 + c1) * (var_x + var_y + c2))


def ssim(truth, result, box):
    """Mean SSIM over the box, each colour channel on its own, then averaged.
    The windows read up to half a window around the box, so the box's own
    border pixels are measured like its inside."""
    top, bottom, left, right = box
    pad = SSIM_WINDOW // 2
    y0, x0 = max(top - pad, 0), max(left - pad, 0)
    y1, x1 = min(bottom + pad, truth.shape[0]), min(right + pad, truth.shape[1])
    values = []
    for channel in range(truth.shape[2]):
        window = ssim_map(truth[y0:y1, x0:x1, channel].astype(np.float64),
                          result[y0:y1, x0:x1, channel].astype(np.float64))
        values.append(window[top - y0:bottom - y0, left - x0:right - x0].mean())
    return float(np.mean(values))


def gradients(picture):
    grey = cv2.cvtColor(picture, cv2.COLOR_BGR2GRAY).astype(np.float64)
    grey = cv2.GaussianBlur(grey, (0, 0), EDGE_SMOOTHING)
    gx = cv2.Sobel(grey, cv2.CV_64F, 1, 0, ksize=3) / 8
    gy = cv2.Sobel(grey, cv2.CV_64F, 0, 1, ksize=3) / 8
    return gx, gy, np.hypot(gx, gy)


def edge_entries(truth, hole):
    """The edges of the original that cross the hole's border: known pixels
    next to the hole where the original has an edge's ridge (largest gradient
    across the edge) running into the hole. Returns their positions, the
    edge's unit direction pointing into the hole, and the gradient there."""
    gx, gy, magnitude = gradients(truth)
    outside = cv2.distanceTransform((~hole).astype(np.uint8), cv2.DIST_L2, 5)
    smooth = cv2.GaussianBlur(outside, (0, 0), 1.0)
    nx = cv2.Sobel(smooth, cv2.CV_64F, 1, 0, ksize=3)
    ny = cv2.Sobel(smooth, cv2.CV_64F, 0, 1, ksize=3)
    ring = (~hole) & (outside <= 1.5)
    ys, xs = np.nonzero(ring & (magnitude >= EDGE_STRENGTH))
    height, width = hole.shape
    entries = []
    for y, x in zip(ys, xs):
        g = np.array([gx[y, x], gy[y, x]]) / magnitude[y, x]
        # A ridge: at least as strong as both neighbours across the edge.
        ahead = magnitude[min(max(round(y + g[1]), 0), height - 1), min(max(round(x + g[0]), 0), width - 1)]
        behind = magnitude[min(max(round(y - g[1]), 0), height - 1), min(max(round(x - g[0]), 0), width - 1)]
        if magnitude[y, x] < ahead or magnitude[y, x] < behind:
            continue
        inward = -np.array([nx[y, x], ny[y, x]])
        if not inward.any():
            continue
        inward /= np.linalg.norm(inward)
        along = np.array([-g[1], g[0]])
        cosine = float(along @ inward)
        if abs(cosine) < EDGE_CROSSING:
            continue
        entries.append((y, x, along if cosine > 0 else -along, g, magnitude[y, x]))
    return entries


def has_edge_near(gx, gy, magnitude, hole, point, direction, strength):
    """Whether a hole pixel within EDGE_TOLERANCE of point holds an edge at
    least EDGE_KEEP as strong as strength with its gradient within EDGE_ANGLE
    of direction (same polarity: dark and light sides stay where they were)."""
    y, x = point
    r = EDGE_TOLERANCE
    y0, y1 = max(y - r, 0), min(y + r + 1, hole.shape[0])
    x0, x1 = max(x - r, 0), min(x + r + 1, hole.shape[1])
    yy, xx = np.mgrid[y0:y1, x0:x1]
    near = ((yy - y) ** 2 + (xx - x) ** 2 <= r * r) & hole[y0:y1, x0:x1]
    strong = magnitude[y0:y1, x0:x1] >= EDGE_KEEP * strength
    cosine = (gx[y0:y1, x0:x1] * direction[0] + gy[y0:y1, x0:x1] * direction[1]) / np.maximum(
        magnitude[y0:y1, x0:x1], 1e-9)
    return bool((near & strong & (cosine >= math.cos(EDGE_ANGLE))).any())


class EdgeContinuity:
    """Edge continuity of results against one original and hole: of the
    places where an edge entering the hole goes on in the original (each
    entry followed EDGE_DEPTHS pixels in), the share where the result has
    the same edge within EDGE_TOLERANCE pixels. The original scores 1."""

    def __init__(self, truth, hole):
        self.hole = hole
        gx, gy, magnitude = gradients(truth)
        entries = edge_entries(truth, hole)
        self.checks = []
        for y, x, along, g, strength in entries:
            for depth in EDGE_DEPTHS:
                point = (round(y + depth * along[1]), round(x + depth * along[0]))
                inside = 0 <= point[0] < hole.shape[0] and 0 <= point[1] < hole.shape[1] and hole[point]
                if inside and has_edge_near(gx, gy, magnitude, hole, point, g, strength):
                    self.checks.append((point, g, strength))
        self.entries = len(entries)

    def score(self, result):
        if not self.checks:
            return None
        gx, gy, magnitude = gradients(result)
        kept = sum(has_edge_near(gx, gy, magnitude, self.hole, point, g, strength)
                   for point, g, strength in self.checks)
        return kept / len(self.checks)


def measure(truth, result, hole, continuity):
    """Every metric of one result; continuity is the EdgeContinuity of the case."""
    box = bounding_box(hole)
    top, bottom, left, right = box
    in_box = np.zeros_like(hole)
    in_box[top:bottom, left:right] = True
    changed_outside = (np.abs(truth.astype(np.int16) - result).max(axis=2) > 2) & ~hole
    return {
        'mae': mean_absolute_error(truth, result, in_box),
        'hole_mae': mean_absolute_error(truth, result, hole),
        'psnr': psnr(truth, result, in_box),
        'ssim': ssim(truth, result, box),
        'edges': continuity.score(result),
        'changed_outside': int(changed_outside.sum()),
    }

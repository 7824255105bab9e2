#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Quality of a filled picture against the original, over the hole only.

Usage: hole_quality.py ORIGINAL MASK RESULT
Prints: PSNR (dB), mean absolute error, and the mean gradient magnitude in
the hole relative to the original's (below 1 means the fill is smoother,
i.e. blurrier, than what was there)."""
import sys

import cv2
import numpy as np


def gradient_magnitude(picture):
    grey = cv2.cvtColor(picture, cv2.COLOR_BGR2GRAY).astype(np.float64)
    gx = cv2.Sobel(grey, cv2.CV_64F, 1, 0, ksize=3)
    gy = cv2.Sobel(grey, cv2.CV_64F, 0, 1, ksize=3)
    return np.hypot(gx, gy)


def main():
    original = cv2.imread(sys.argv[1], cv2.IMREAD_COLOR).astype(np.float64)
    hole = cv2.imread(sys.argv[2], cv2.IMREAD_GRAYSCALE) > 0
    result = cv2.imread(sys.argv[3], cv2.IMREAD_COLOR).astype(np.float64)
    difference = (result - original)[hole]
    mse = np.mean(difference ** 2)
    psnr = float('inf') if mse == 0 else 10 * np.log10(255.0 ** 2 / mse)
    mae = np.mean(np.abs(difference))
    gradient = np.mean(gradient_magnitude(result.astype(np.uint8))[hole]) / max(
        np.mean(gradient_magnitude(original.astype(np.uint8))[hole]), 1e-9)
    print(f"{psnr:.2f} {mae:.2f} {gradient:.2f}")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""OpenCV's Telea inpainting as a peer: fills MASK's non-zero pixels of
ORIGINAL, writes RESULT and prints the inpainting time in seconds (best of 3)."""
import sys
import time

import cv2

original = cv2.imread(sys.argv[1], cv2.IMREAD_COLOR)
mask = cv2.imread(sys.argv[2], cv2.IMREAD_GRAYSCALE)
best = float('inf')
for _ in range(3):
    start = time.perf_counter()
    result = cv2.inpaint(original, mask, 3, cv2.INPAINT_TELEA)
    best = min(best, time.perf_counter() - start)
cv2.imwrite(sys.argv[3], result)
print(f"{best:.4f}")

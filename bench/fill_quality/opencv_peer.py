#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""One OpenCV fill as a peer: METHOD PICTURE MASK RESULT, the mask 255 where
the hole is. Prints the seconds the fill itself took.

Methods: telea (cv2.inpaint, radius 3), fsr_fast and fsr_best (xphoto's
frequency-selective reconstruction, which turns BGR into YCrCb itself), all
three on BGR as read, and shiftmap (xphoto's ShiftMap, which compares the
channels as they come and is documented to expect CIELab, as its sample
gives it). xphoto takes the mask the other way round: 0 = missing. Known
pixels that ShiftMap leaves as they were in Lab get their original BGR
values back, so the Lab round trip's rounding is not counted against it;
pixels it changed keep its values.
"""
import sys
import time

import cv2
import numpy as np

FSR = {'fsr_fast': 'INPAINT_FSR_FAST', 'fsr_best': 'INPAINT_FSR_BEST'}


def main():
    method, picture_path, mask_path, result_path = sys.argv[1:5]
    picture = cv2.imread(picture_path, cv2.IMREAD_COLOR)
    hole = cv2.imread(mask_path, cv2.IMREAD_GRAYSCALE) > 0
    if method == 'telea':
        start = time.perf_counter()
        result = cv2.inpaint(picture, hole.astype(np.uint8) * 255, 3, cv2.INPAINT_TELEA)
        seconds = time.perf_counter() - start
    elif method == 'shiftmap':
        lab = cv2.cvtColor(picture, cv2.COLOR_BGR2Lab)
        filled = np.zeros_like(lab)
        start = time.perf_counter()
        cv2.xphoto.inpaint(lab, (~hole).astype(np.uint8) * 255, filled, cv2.xphoto.INPAINT_SHIFTMAP)
        seconds = time.perf_counter() - start
        result = cv2.cvtColor(filled, cv2.COLOR_Lab2BGR)
        untouched = (filled == lab).all(axis=2) & ~hole
        result[untouched] = picture[untouched]
    elif method in FSR:
        result = np.zeros_like(picture)
        start = time.perf_counter()
        cv2.xphoto.inpaint(picture, (~hole).astype(np.uint8) * 255, result, getattr(cv2.xphoto, FSR[method]))
        seconds = time.perf_counter() - start
    else:
        sys.exit(f'unknown method {method}')
    if not cv2.imwrite(result_path, result):
        sys.exit(f'cannot write {result_path}')
    print(f'{seconds:.4f}')


if __name__ == '__main__':
    main()

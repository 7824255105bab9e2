#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Cost of the allocator's heap checks in the decoding helper: decodes a
24-megapixel JPEG through quenlo-decode with and without the GLIBC_TUNABLES
the programs give it, in turn, and prints the median wall and processor
time of each. The helper's stack protection and buffer-size checks are
built in and so are in both figures.

  bench/heap_checks.py build/release/bin [--runs 7]
"""
import argparse
import os
import resource
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HEAP_CHECKS = "glibc.malloc.tcache_count=0:glibc.malloc.perturb=165"


def photograph(folder: Path) -> Path:
    """A 6000 x 4000 JPEG at quality 90: the sample photograph scaled up, with
    grain that gives it the size of a camera's (about 10 MB)."""
    import numpy
    from PIL import Image
    target = folder / "photo24.jpg"
    with Image.open(Path(__file__).resolve().parent.parent / "tests/data/rocket_small.jpg") as small:
        pixels = numpy.asarray(small.convert("RGB").resize((6000, 4000), Image.LANCZOS), dtype=numpy.int16)
    grain = numpy.random.default_rng(24).integers(-12, 13, pixels.shape, dtype=numpy.int16)
    Image.fromarray(numpy.clip(pixels + grain, 0, 255).astype(numpy.uint8)).save(target, quality=90)
    return target


def decode(helper: Path, picture: Path, checks: bool):
    environment = {k: v for k, v in os.environ.items() if k != "GLIBC_TUNABLES"}
    if checks:
        environment["GLIBC_TUNABLES"] = HEAP_CHECKS
    ours, theirs = socket.socketpair(socket.AF_UNIX, socket.SOCK_SEQPACKET)
    notes_read, notes_write = os.pipe()
    memory = os.memfd_create("decoded")
    with open(picture, "rb") as file:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        started = time.monotonic()
        process = subprocess.Popen([str(helper)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, env=environment,
                                   preexec_fn=lambda: os.dup2(theirs.fileno(), 3), close_fds=False)
        theirs.close()
        name = picture.name.encode()
        socket.send_fds(ours, [struct.pack("<QII", 4 << 30, 60, len(name)) + name],
                        [file.fileno(), memory, notes_write])
        os.close(notes_write)
        while os.read(notes_read, 4096):
            pass
        status = process.wait()
        wall = time.monotonic() - started
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
    ours.close()
    os.close(notes_read)
    os.close(memory)
    if status != 0:
        sys.exit("the helper failed with status %d" % status)
    return wall, after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("bin", type=Path)
    parser.add_argument("--runs", type=int, default=7)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        picture = photograph(Path(folder))
        times = {False: [], True: []}
        decode(arguments.bin / "quenlo-decode", picture, False)  # warms the page cache
        for _ in range(arguments.runs):
            for checks in (False, True):
                times[checks].append(decode(arguments.bin / "quenlo-decode", picture, checks))
    plain = [statistics.median(t[i] for t in times[False]) for i in (0, 1)]
    checked = [statistics.median(t[i] for t in times[True]) for i in (0, 1)]
    print("24 MP JPEG through quenlo-decode, median of %d" % arguments.runs)
    print("without heap checks: %.3f s wall, %.3f s processor" % tuple(plain))
    print("with heap checks:    %.3f s wall, %.3f s processor" % tuple(checked))
    print("cost: %+.1f %% wall, %+.1f %% processor" % (100 * (checked[0] / plain[0] - 1), 100 * (checked[1] / plain[1] - 1)))
    return 0


if __name__ == "__main__":
    sys.exit(main())

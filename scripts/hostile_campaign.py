#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs quenlo-inpaint, at its default settings, on damaged pictures: the
hostile corpus and mutants of small pictures of many formats (cut short, bits
flipped, sizes in the header enlarged, stretches repeated). Each must be
refused with status 2 and one line naming the file within 10 seconds, with
the whole process tree under 1 GiB for files under 64 KiB, and leave no
output; a mutant that is still a picture may instead be worked on (status 0),
each file being its own mask, and its time then includes the fill.

  nice -n 15 scripts/hostile_campaign.py OUT BIN --seed 2612 --mutants 3000 --parallel 2 \\
      --pictures tests/data ../shared/samples --corpus tests/data/hostile

Seed pictures are the files under --pictures, and small copies of the first
photograph in other formats made with ImageMagick's convert where it is
installed. Width and height fields are found with PIL (python3-pil); without
it sizes are enlarged at random offsets of the header. OUT/cases holds every input, OUT/misbehaved the failures, and
OUT/results.md the table: format, outcome, count, longest time, largest tree.
"""
import argparse
import concurrent.futures
import os
import random
import shutil
import subprocess
import sys
import time
from collections import defaultdict
from pathlib import Path

SECONDS = 10.0
TREE_BYTES = 1 << 30
SMALL_FILE = 64 << 10
CONVERTED = ["bmp", "tga", "pcx", "psd", "tif", "gif", "webp", "exr", "jp2", "j2k", "sgi", "ppm", "pgm",
             "ras", "xpm", "ico", "dds", "hdr", "pct", "jpg", "png"]
WIDE = [0xFFFF, 0x7FFF, 0x8000, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x10000, 30000, 40000, 65000]


def picture_size(path: Path):
    try:
        from PIL import Image
        with Image.open(path) as picture:
            return picture.size
    except Exception:
        return None


def lie_about_size(data: bytearray, size, rng: random.Random) -> bool:
    """Enlarges a width or height field found near the start of the file."""
    if size is None:
        return False
    spots = []
    head = bytes(data[:min(len(data), 4096)])
    for value in set(size):
        for width, order in ((2, "big"), (2, "little"), (4, "big"), (4, "little")):
            if value >= 1 << (8 * width):
                continue
            needle = value.to_bytes(width, order)
            at = head.find(needle)
            while at >= 0:
                spots.append((at, width, order))
                at = head.find(needle, at + 1)
    if not spots:
        return False
    at, width, order = rng.choice(spots)
    value = rng.choice([v for v in WIDE if v < 1 << (8 * width)])
    data[at:at + width] = value.to_bytes(width, order)
    return True


def mutate(body: bytes, size, rng: random.Random):
    data = bytearray(body)
    kinds = []
    for _ in range(rng.randint(1, 3)):
        kind = rng.choice(["cut", "flip", "flip", "size", "size", "repeat", "byte"])
        if not data:
            break
        if kind == "cut":
            del data[rng.randrange(len(data)):]
        elif kind == "flip":
            for _ in range(rng.randint(1, 8)):
                at = rng.randrange(min(len(data), rng.choice([64, 512, len(data)])))
                data[at] ^= 1 << rng.randrange(8)
        elif kind == "size":
            if not lie_about_size(data, size, rng):
                at = rng.randrange(min(len(data), 256))
                data[at:at + 4] = rng.choice(WIDE).to_bytes(4, rng.choice(["big", "little"]))
        elif kind == "repeat":
            start = rng.randrange(len(data))
            end = min(len(data), start + rng.randint(4, 4096))
            data[start:start] = data[start:end] * rng.randint(1, 4)
        else:
            data[rng.randrange(len(data))] = rng.randrange(256)
        kinds.append(kind)
    return bytes(data), "+".join(kinds)


def tree_memory(root: int) -> int:
    """Proportional set size of root and its descendants, in bytes."""
    total = 0
    pending = [root]
    while pending:
        pid = pending.pop()
        try:
            for line in Path("/proc/%d/smaps_rollup" % pid).read_text().splitlines():
                if line.startswith("Pss:"):
                    total += int(line.split()[1]) * 1024
                    break
            for task in Path("/proc/%d/task" % pid).iterdir():
                pending.extend(int(child) for child in (task / "children").read_text().split())
        except (OSError, ValueError):
            pass
    return total


def run_case(inpaint: Path, case: Path, scratch: Path) -> dict:
    output = scratch / (case.name + ".out.png")
    output.unlink(missing_ok=True)
    environment = {k: v for k, v in os.environ.items() if not k.startswith("QUENLO_")}
    started = time.monotonic()
    process = subprocess.Popen([str(inpaint), str(case), str(output), "--mask", str(case), "--quiet"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=environment)
    peak = 0
    killed = False
    while process.poll() is None:
        peak = max(peak, tree_memory(process.pid))
        if time.monotonic() - started > 60:
            process.kill()
            killed = True
        time.sleep(0.02)
    seconds = time.monotonic() - started
    err = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    lines = err.splitlines()
    problem = ""
    outcome = "other"
    if killed:
        problem = "no answer within 60 s"
    elif process.returncode == 0:
        outcome = "worked on"
        if not output.exists():
            problem = "status 0 without an output"
    elif process.returncode == 2:
        outcome = "refused"
        if len(lines) != 1 or str(case) not in lines[0]:
            problem = "not one line naming the file: %r" % err[:200]
        elif output.exists():
            problem = "an output was left"
    else:
        problem = "status %d: %r" % (process.returncode, err[:200])
    # A mutant still a picture is filled where it is not black, which may take the engine longer.
    if not problem and outcome == "refused" and seconds > SECONDS:
        problem = "took %.1f s" % seconds
    if not problem and case.stat().st_size < SMALL_FILE and peak > TREE_BYTES:
        problem = "process tree reached %d MiB" % (peak >> 20)
    output.unlink(missing_ok=True)
    return {"outcome": "misbehaved" if problem else outcome, "problem": problem, "seconds": seconds,
            "peak": peak, "line": lines[0] if lines else ""}


def seed_pictures(folders, scratch: Path):
    seeds = []
    for folder in folders:
        seeds += sorted(p for p in Path(folder).iterdir() if p.is_file() and p.suffix and p.suffix != ".md")
    photo = next((p for p in seeds if p.suffix == ".jpg"), None)
    if photo and shutil.which("convert"):
        for extension in CONVERTED:
            target = scratch / ("converted." + extension)
            if subprocess.run(["convert", str(photo), "-resize", "96x64", str(target)],
                              capture_output=True).returncode == 0 and target.exists():
                seeds.append(target)
    return seeds


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("out", type=Path)
    parser.add_argument("bin", type=Path)
    parser.add_argument("--seed", type=int, default=2612)
    parser.add_argument("--mutants", type=int, default=3000)
    parser.add_argument("--parallel", type=int, default=2)
    parser.add_argument("--pictures", nargs="+", default=["tests/data"])
    parser.add_argument("--corpus", nargs="*", default=["tests/data/hostile"])
    arguments = parser.parse_args()

    for folder in ("cases", "misbehaved", "scratch", "seeds"):
        (arguments.out / folder).mkdir(parents=True, exist_ok=True)
    seeds = seed_pictures(arguments.pictures, arguments.out / "seeds")
    rng = random.Random(arguments.seed)
    cases = []
    for folder in arguments.corpus:
        for path in sorted(Path(folder).iterdir()):
            if path.is_file():
                target = arguments.out / "cases" / ("corpus-" + path.name)
                shutil.copyfile(path, target)
                cases.append((target, "corpus"))
    bodies = {seed: seed.read_bytes() for seed in seeds}
    sizes = {seed: picture_size(seed) for seed in seeds}
    for number in range(arguments.mutants):
        seed = rng.choice(seeds)
        data, kinds = mutate(bodies[seed], sizes[seed], rng)
        target = arguments.out / "cases" / ("m%04d-%s%s" % (number, seed.stem, seed.suffix))
        target.write_bytes(data)
        cases.append((target, kinds))

    rows = defaultdict(lambda: {"count": 0, "seconds": 0.0, "peak": 0})
    misbehaved = []
    log = open(arguments.out / "log.tsv", "w")
    with concurrent.futures.ThreadPoolExecutor(arguments.parallel) as pool:
        futures = {pool.submit(run_case, arguments.bin / "quenlo-inpaint", case, arguments.out / "scratch"): (case, kinds)
                   for case, kinds in cases}
        for done, future in enumerate(concurrent.futures.as_completed(futures), 1):
            case, kinds = futures[future]
            result = future.result()
            row = rows[(case.suffix.lower(), result["outcome"])]
            row["count"] += 1
            row["seconds"] = max(row["seconds"], result["seconds"])
            row["peak"] = max(row["peak"], result["peak"])
            print("\t".join([case.name, kinds, result["outcome"], "%.2f" % result["seconds"],
                             str(result["peak"] >> 20), result["problem"] or result["line"]]), file=log, flush=True)
            if result["problem"]:
                misbehaved.append((case, result["problem"]))
                shutil.copyfile(case, arguments.out / "misbehaved" / case.name)
                print("misbehaved:", case.name, result["problem"], file=sys.stderr, flush=True)
            if done % 250 == 0:
                print("%d of %d" % (done, len(cases)), file=sys.stderr, flush=True)

    table = ["| format | outcome | inputs | longest (s) | largest tree (MiB) |", "|---|---|---:|---:|---:|"]
    for (suffix, outcome), row in sorted(rows.items()):
        table.append("| %s | %s | %d | %.2f | %d |" % (suffix, outcome, row["count"], row["seconds"], row["peak"] >> 20))
    worst = max((r["seconds"] for r in rows.values()), default=0)
    summary = ["%d inputs (%d corpus, %d mutants, seed %d), %d misbehaved; longest %.2f s" %
               (len(cases), len(cases) - arguments.mutants, arguments.mutants, arguments.seed, len(misbehaved), worst)]
    (arguments.out / "results.md").write_text("\n".join(summary + [""] + table) + "\n")
    print((arguments.out / "results.md").read_text(), end="")
    return 1 if misbehaved else 0


if __name__ == "__main__":
    sys.exit(main())

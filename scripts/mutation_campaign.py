#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Mutates small picture files and feeds them to the decoders, twice: to the
quenlo-decode helper on its own (FreeImage as the programs used it before
decoding moved into a process of its own) and, for every input that crashed
or hung there and a sample of the rest, to quenlo-inpaint, which must refuse
it with status 2 and one line naming the file, without writing anything.

  scripts/mutation_campaign.py SEEDS OUT BIN --cpu-minutes 30

SEEDS holds the files to mutate (the extension names the format), BIN the
built programs. Crashing and hanging inputs are kept in OUT/crash and
OUT/hang; OUT/summary.txt gives the figures. Run it under nice 19.
"""
import argparse
import os
import random
import resource
import signal
import socket
import struct
import subprocess
import sys
import time
from collections import Counter
from pathlib import Path

INTERESTING = [0, 1, 0x7F, 0x80, 0xFF]
WIDE = [0, 0xFFFF, 0x7FFF, 0x8000, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x10000]
SECONDS = 5  # processor seconds before an input counts as hanging


def mutate(data: bytearray, rng: random.Random) -> bytearray:
    data = bytearray(data)
    for _ in range(rng.randint(1, 6)):
        if not data:
            break
        kind = rng.randrange(7)
        at = rng.randrange(len(data))
        if kind == 0:
            data[at] ^= 1 << rng.randrange(8)
        elif kind == 1:
            data[at] = rng.choice(INTERESTING)
        elif kind == 2 and at + 4 <= len(data):
            value = rng.choice(WIDE)
            data[at:at + 4] = value.to_bytes(4, rng.choice(["big", "little"]))
        elif kind == 3:
            del data[rng.randrange(len(data)):]  # a file cut short
        elif kind == 4:
            data[at:at] = bytes(rng.randrange(256) for _ in range(rng.randint(1, 16)))
        elif kind == 5:
            end = min(len(data), at + rng.randint(1, 64))
            data[at:at] = data[at:end]
        else:
            data[at] = rng.randrange(256)
    return data


def before(helper: Path, case: Path) -> str:
    """ok, crash or hang for the helper alone, without the program's deadline."""
    ours, theirs = socket.socketpair(socket.AF_UNIX, socket.SOCK_SEQPACKET)
    with open(case, "rb") as picture, open(case.with_suffix(".result"), "w+b") as result, \
            open(os.devnull, "wb") as note:
        def descriptors():
            # The helper reads its request from descriptor 3.
            os.dup2(theirs.fileno(), 3)
        process = subprocess.Popen([str(helper)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, preexec_fn=descriptors, close_fds=False)
        theirs.close()
        # Budget, processor seconds and the name's length, then the name; the file, result and notes go along.
        name = case.name.encode()
        request = struct.pack("<QII", 8 << 30, SECONDS, len(name)) + name
        socket.send_fds(ours, [request], [picture.fileno(), result.fileno(), note.fileno()])
        ours.close()
        try:
            code = process.wait(timeout=120)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            return "hang"
    if code < 0 and -code in (signal.SIGXCPU, signal.SIGKILL, signal.SIGALRM):
        return "hang"
    return "ok" if code == 0 else "crash"


def after(inpaint: Path, case: Path, scratch: Path) -> str:
    """Empty when quenlo-inpaint behaved: status 0 or 2, one line naming the file, no output when refused."""
    output = scratch / "out.png"
    output.unlink(missing_ok=True)
    environment = dict(os.environ, QUENLO_DECODE_SECONDS=str(SECONDS))
    try:
        process = subprocess.run([str(inpaint), str(case), str(output), "--mask", str(case), "--quiet"],
                                 capture_output=True, timeout=300, env=environment, text=True, errors="replace")
    except subprocess.TimeoutExpired:
        return "no answer within 300 seconds"
    lines = process.stderr.splitlines()
    if process.returncode == 0:
        return "" if not lines and output.exists() else "status 0 but " + repr(process.stderr[:200])
    if process.returncode != 2:
        return "status %d: %r" % (process.returncode, process.stderr[:200])
    if len(lines) != 1 or str(case) not in lines[0]:
        return "not one line naming the file: %r" % process.stderr[:200]
    if output.exists():
        return "an output was left"
    return ""


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("seeds", type=Path)
    parser.add_argument("out", type=Path)
    parser.add_argument("bin", type=Path)
    parser.add_argument("--cpu-minutes", type=float, default=30)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--sample", type=int, default=40, help="every Nth harmless input also goes to quenlo-inpaint")
    arguments = parser.parse_args()

    rng = random.Random(arguments.seed)
    seeds = sorted(p for p in arguments.seeds.iterdir() if p.is_file() and p.suffix)
    bodies = {p: bytearray(p.read_bytes()) for p in seeds}
    scratch = arguments.out / "scratch"
    for folder in ("crash", "hang", "misbehaved", "scratch"):
        (arguments.out / folder).mkdir(parents=True, exist_ok=True)

    counts = Counter()
    started = time.time()

    def cpu_minutes() -> float:
        usage = resource.getrusage(resource.RUSAGE_CHILDREN)
        return (usage.ru_utime + usage.ru_stime) / 60

    def write_summary() -> None:
        lines = ["inputs %d" % counts["inputs"], "cpu-minutes %.1f" % cpu_minutes(),
                 "wall-minutes %.1f" % ((time.time() - started) / 60),
                 "before: crashes %d, hangs %d" % (counts["crash"], counts["hang"]),
                 "after: checked %d, misbehaved %d" % (counts["checked"], counts["misbehaved"])]
        for key in sorted(k for k in counts if "." in k):
            lines.append("  %s %d" % (key, counts[key]))
        (arguments.out / "summary.txt").write_text("\n".join(lines) + "\n")

    while cpu_minutes() < arguments.cpu_minutes:
        seed = rng.choice(seeds)
        case = scratch / ("case" + seed.suffix)
        data = mutate(bodies[seed], rng)
        case.write_bytes(data)
        counts["inputs"] += 1
        counts["inputs" + seed.suffix] += 1
        outcome = before(arguments.bin / "quenlo-decode", case)
        if outcome != "ok":
            counts[outcome] += 1
            counts[outcome + seed.suffix] += 1
            kept = arguments.out / outcome / ("%s-%d-%d%s" % (seed.stem, counts["inputs"], len(data), seed.suffix))
            kept.write_bytes(data)
            case = kept
        if outcome != "ok" or counts["inputs"] % arguments.sample == 0:
            counts["checked"] += 1
            problem = after(arguments.bin / "quenlo-inpaint", case, scratch)
            if problem:
                counts["misbehaved"] += 1
                (arguments.out / "misbehaved" / case.name).write_bytes(data)
                print("misbehaved:", case.name, problem, file=sys.stderr)
        if counts["inputs"] % 200 == 0:
            write_summary()
    write_summary()
    print((arguments.out / "summary.txt").read_text(), end="")
    return 0


if __name__ == "__main__":
    sys.exit(main())

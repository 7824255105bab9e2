# SPDX-License-Identifier: MIT
"""Time and peak memory of quenlo-inpaint on the speed cases: the whole
command under /usr/bin/time -v, median of several runs."""
import re
import statistics
import subprocess

from tools import refuses_method

MIB = 1024 * 1024


def memory_limit(width, height):
    """3 x the picture's bytes (24 bits a pixel) + 64 MiB."""
    return 3 * width * height * 3 + 64 * MIB


def one_run(command, timeout):
    finished = subprocess.run(['/usr/bin/time', '-v', *command], capture_output=True, text=True, timeout=timeout)
    rss = re.search(r'Maximum resident set size \(kbytes\): (\d+)', finished.stderr)
    wall = re.search(r'Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([0-9.]+)', finished.stderr)
    fill = re.search(r'^time:\s+([0-9.]+)', finished.stdout, re.MULTILINE)
    if finished.returncode != 0 or not (rss and wall):
        return finished, None
    hours, minutes, seconds = wall.groups()
    return finished, {
        'wall': int(hours or 0) * 3600 + int(minutes) * 60 + float(seconds),
        'fill': float(fill.group(1)) if fill else None,
        'rss': int(rss.group(1)) * 1024,
    }


def measure(binary, method, picture, overlay, result, runs, timeout):
    """Median wall time, fill time and peak resident memory of `runs` runs,
    or a dict with 'status' saying why there are none."""
    command = [str(binary), str(picture), str(result), '--overlay', str(overlay), '--method', method]
    samples = []
    note = ''
    for _ in range(runs):
        try:
            finished, sample = one_run(command, timeout)
        except subprocess.TimeoutExpired:
            return {'status': 'timeout'}
        if sample is None and refuses_method(finished):
            if method != 'patches':
                return {'status': 'n/a'}
            command = command[:-2]
            note = 'run without --method'
            finished, sample = one_run(command, timeout)
        if sample is None:
            lines = (finished.stderr or '').strip().splitlines()
            return {'status': 'failed', 'note': lines[-1] if lines else ''}
        samples.append(sample)
    median = {key: statistics.median(s[key] for s in samples) if all(s[key] is not None for s in samples) else None
              for key in ('wall', 'fill', 'rss')}
    return {'status': 'ok', 'note': note, **median}

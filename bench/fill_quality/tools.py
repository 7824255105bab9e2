# SPDX-License-Identifier: MIT
"""The fills compared, each run as its own process with a time limit.

Every runner takes the case's picture (PNG), its hole as an 8-bit mask (255
to fill) and as the overlay the tool reads, and the path to write; it
returns a Run: whether it worked, the whole command's wall time, the fill's
own time where the tool tells it, and a note."""
import dataclasses
import re
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent


@dataclasses.dataclass
class Run:
    status: str                 # 'ok', 'n/a', 'timeout' or 'failed'
    wall: float | None = None   # seconds, the whole command
    fill: float | None = None   # seconds, the fill alone, as the tool reports it
    note: str = ''


@dataclasses.dataclass(frozen=True)
class Tool:
    key: str     # file names and --tools
    label: str   # tables and contact sheets
    ours: bool
    run: callable


def timed(command, timeout):
    start = time.perf_counter()
    try:
        finished = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None, time.perf_counter() - start
    return finished, time.perf_counter() - start


def last_error_line(finished):
    lines = (finished.stderr or finished.stdout).strip().splitlines()
    return lines[-1] if lines else f'exit status {finished.returncode}'


def refuses_method(finished):
    """A tool built before --method existed stops at the option it does not know."""
    return finished.returncode != 0 and '--method' in (finished.stderr + finished.stdout)


def quenlo(method):
    def run(binary, picture, mask, overlay, result, timeout, threads=None):
        command = [str(binary), str(picture), str(result), '--overlay', str(overlay), '--method', method]
        if threads is not None:
            command += ['--threads', str(threads)]
        finished, wall = timed(command, timeout)
        note = ''
        if finished is not None and refuses_method(finished):
            if method != 'patches':
                return Run('n/a', note=f'this quenlo-inpaint refuses --method {method}')
            # The patch engine is the default, so a tool without the option still runs it.
            finished, wall = timed(command[:command.index('--method')] + command[command.index('--method') + 2:],
                                   timeout)
            note = 'run without --method (this quenlo-inpaint has no such option)'
        if finished is None:
            return Run('timeout', wall)
        if finished.returncode != 0:
            return Run('failed', wall, note=last_error_line(finished))
        fill = re.search(r'^time:\s+([0-9.]+)', finished.stdout, re.MULTILINE)
        path = re.search(r'^path:\s+(.+)$', finished.stdout, re.MULTILINE)
        if path and method not in path.group(1):
            note = (note + '; ' if note else '') + f'reported path: {path.group(1)}'
        return Run('ok', wall, float(fill.group(1)) if fill else None, note)
    return run


def opencv(method):
    def run(binary, picture, mask, overlay, result, timeout, threads=None):
        finished, wall = timed([sys.executable, str(HERE / 'opencv_peer.py'), method, str(picture), str(mask),
                                str(result)], timeout)
        if finished is None:
            return Run('timeout', wall)
        if finished.returncode != 0:
            return Run('failed', wall, note=last_error_line(finished))
        return Run('ok', wall, float(finished.stdout.split()[-1]))
    return run


def gmic(command_text):
    def run(binary, picture, mask, overlay, result, timeout, threads=None):
        # tic/toc time the fill alone; its status is echoed where we can find it.
        command = ['gmic', '-v', '-', str(picture), str(mask), 'tic', *command_text.split(), 'toc',
                   'echo', 'fill=${}', 'cut[0]', '0,255', 'output[0]', str(result)]
        finished, wall = timed(command, timeout)
        if finished is None:
            return Run('timeout', wall)
        if finished.returncode != 0 or not Path(result).exists():
            return Run('failed', wall, note=last_error_line(finished))
        fill = re.search(r'fill=([0-9.]+)', finished.stderr + finished.stdout)
        return Run('ok', wall, float(fill.group(1)) if fill else None)
    return run


TOOLS = [
    Tool('patches', 'quenlo patches', True, quenlo('patches')),
    Tool('structure', 'quenlo structure', True, quenlo('structure')),
    Tool('telea', 'OpenCV Telea', False, opencv('telea')),
    Tool('fsr_fast', 'xphoto FSR fast', False, opencv('fsr_fast')),
    Tool('fsr_best', 'xphoto FSR best', False, opencv('fsr_best')),
    Tool('shiftmap', 'xphoto ShiftMap', False, opencv('shiftmap')),
    Tool('gmic_inpaint', "G'MIC inpaint", False, gmic('inpaint[0] [1],7')),
    Tool('gmic_matchpatch', "G'MIC matchpatch", False, gmic('inpaint_matchpatch[0] [1]')),
]


def versions():
    """The peers' versions, for the report."""
    import cv2
    found = {'OpenCV': cv2.__version__}
    try:
        text = subprocess.run(['gmic', '-v', '-', 'echo', '${_version}'], capture_output=True, text=True).stderr
        digits = re.search(r'(\d)(\d)(\d)', text)
        found["G'MIC"] = '.'.join(digits.groups()) if digits else text.strip()
    except FileNotFoundError:
        found["G'MIC"] = 'missing'
    return found

#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Fill quality on photographs with known ground truth: quenlo-inpaint's
methods beside OpenCV (Telea, xphoto FSR fast and best, ShiftMap) and G'MIC
(inpaint, inpaint_matchpatch), all in one run. Measures every fill over the
hole's bounding box, makes contact sheets, times quenlo-inpaint on the
speed cases, and writes its own section of bench/results.md.

Needs python3-opencv, python3-numpy, python3-pil, gmic and time
(bench/fill_quality/setup.sh installs them) and a release build."""
import argparse
import datetime
import hashlib
import json
import os
import subprocess
import sys
from pathlib import Path

import cv2
import numpy as np

sys.dont_write_bytecode = True  # no __pycache__ beside the committed scripts
import metrics  # noqa: E402
import report  # noqa: E402
import sheets  # noqa: E402
import timing  # noqa: E402
from tools import TOOLS, Run, versions  # noqa: E402

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
CASES = HERE / 'cases'
HASHES = HERE / 'hashes.txt'
REMOVAL_BGR = (125, 125, 255)
SLOW = 120  # seconds a case after which a tool's time is noted


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--quenlo', type=Path,
                        default=Path(os.environ.get('QUENLO_INPAINT', REPO / 'build/release/bin/quenlo-inpaint')),
                        help='the quenlo-inpaint to measure (default: $QUENLO_INPAINT or the release build)')
    parser.add_argument('--output', type=Path, default=REPO / 'build' / 'fill-quality',
                        help='results, contact sheets and work files (default: build/fill-quality)')
    parser.add_argument('--cases', help='comma-separated case names (default: all)')
    parser.add_argument('--tools', help='comma-separated tools (default: all): '
                        + ', '.join(t.key for t in TOOLS))
    parser.add_argument('--timeout', type=float, default=300, help='seconds one tool may take on one case')
    parser.add_argument('--timing-runs', type=int, default=3, help='runs of each speed case (median)')
    parser.add_argument('--no-timing', action='store_true', help='skip the speed cases')
    parser.add_argument('--reuse-peers', action='store_true',
                        help='take the peers\' results of an earlier run on the same inputs (marked in the report)')
    parser.add_argument('--results', type=Path, default=REPO / 'bench' / 'results.md',
                        help='the file whose fill-quality section is rewritten')
    parser.add_argument('--no-results', action='store_true', help='print the section, leave results.md alone')
    parser.add_argument('--write-hashes', action='store_true',
                        help='record this run\'s hashes of the patch engine in hashes.txt')
    return parser.parse_args()


def pixel_hash(picture):
    return hashlib.sha256(np.ascontiguousarray(picture).tobytes()
                          + str(picture.shape).encode()).hexdigest()


def file_hash(*paths):
    digest = hashlib.sha256()
    for path in paths:
        digest.update(Path(path).read_bytes())
    return digest.hexdigest()


def prepare_inputs(catalogue, names, work):
    """Decodes each picture once to PNG, which every tool reads, so that no
    JPEG decoder's rounding differs between tools, and writes each hole as an
    8-bit mask. Returns name -> (picture path, mask path, overlay path)."""
    work.mkdir(parents=True, exist_ok=True)
    inputs = {}
    for name in names:
        case = catalogue['cases'][name]
        picture = catalogue['pictures'][case['picture']]
        picture_path = work / f'{case["picture"]}.png'
        cv2.imwrite(str(picture_path), cv2.imread(str(CASES / picture['file']), cv2.IMREAD_COLOR))
        overlay_path = CASES / f'{name}_overlay.png'
        overlay = cv2.imread(str(overlay_path), cv2.IMREAD_COLOR)
        hole = (overlay == REMOVAL_BGR).all(axis=2)
        mask_path = work / f'{name}_mask.png'
        cv2.imwrite(str(mask_path), hole.astype(np.uint8) * 255)
        inputs[name] = (picture_path, mask_path, overlay_path)
    return inputs


def load_expected_hashes():
    expected = {}
    if HASHES.exists():
        for line in HASHES.read_text().splitlines():
            if line and not line.startswith('#'):
                case, method, digest = line.split()
                expected[(case, method)] = digest
    return expected


def run_case(name, tools, inputs, arguments, out, versions_text):
    picture_path, mask_path, overlay_path = inputs
    truth = cv2.imread(str(picture_path), cv2.IMREAD_COLOR)
    hole = cv2.imread(str(mask_path), cv2.IMREAD_GRAYSCALE) > 0
    continuity = metrics.EdgeContinuity(truth, hole)
    folder = out / 'results' / name
    folder.mkdir(parents=True, exist_ok=True)
    input_hash = file_hash(picture_path, mask_path, overlay_path)
    outcomes = {}
    reused = False
    for tool in tools:
        result_path = folder / f'{tool.key}.png'
        record_path = folder / f'{tool.key}.json'
        run = None
        if arguments.reuse_peers and not tool.ours and record_path.exists() and result_path.exists():
            record = json.loads(record_path.read_text())
            if record.get('input') == input_hash and record.get('versions') == versions_text:
                run, reused = Run(**record['run']), True
        if run is None:
            result_path.unlink(missing_ok=True)
            run = tool.run(arguments.quenlo, picture_path, mask_path, overlay_path, result_path, arguments.timeout)
            record_path.write_text(json.dumps({'input': input_hash, 'versions': versions_text,
                                               'run': run.__dict__}))
        found = None
        result = None
        if run.status == 'ok':
            result = cv2.imread(str(result_path), cv2.IMREAD_COLOR)
            if result is None or result.shape != truth.shape:
                run = Run('failed', run.wall, run.fill, 'no readable result of the picture\'s size')
                result = None
            else:
                found = metrics.measure(truth, result, hole, continuity)
        outcomes[tool.key] = {'run': run, 'metrics': found, 'result': result}
        shown = f'{found["mae"]:6.2f} MAE {found["hole_mae"]:6.2f} hole' if found else run.status
        print(f'  {tool.label:18} {shown:28} {run.wall or 0:7.2f} s  {run.note}', flush=True)
    return truth, hole, continuity, outcomes, reused


def describe_note(text, where, case_count):
    """One line for a note that holds on several cases: which cases, and the
    range of the number each one carries (pixels, seconds)."""
    names = [w if isinstance(w, str) else w[0] for w in where]
    numbers = [w[1] for w in where if not isinstance(w, str)]
    cases = f'all {case_count} cases' if len(names) == case_count else ', '.join(names)
    if numbers:
        low, high, unit = min(numbers), max(numbers), where[0][2]
        cases += f' ({low:,}' + (f' to {high:,}' if high != low else '') + f' {unit} a case)'
    return f'{text}: {cases}'


def thread_check(tool, arguments, inputs, folder, digest):
    """The result on one thread must be the result on all of them."""
    picture_path, mask_path, overlay_path = inputs
    path = folder / f'{tool.key}_threads1.png'
    run = tool.run(arguments.quenlo, picture_path, mask_path, overlay_path, path, arguments.timeout, threads=1)
    if run.status != 'ok':
        return run.status
    return 'same' if pixel_hash(cv2.imread(str(path), cv2.IMREAD_COLOR)) == digest else 'DIFFERENT'


def main():
    arguments = parse_arguments()
    catalogue = json.loads((CASES / 'cases.json').read_text())
    names = arguments.cases.split(',') if arguments.cases else list(catalogue['cases'])
    unknown = [n for n in names if n not in catalogue['cases']]
    keys = arguments.tools.split(',') if arguments.tools else [t.key for t in TOOLS]
    unknown += [k for k in keys if k not in {t.key for t in TOOLS}]
    if unknown:
        sys.exit(f'unknown case or tool: {", ".join(unknown)}')
    if not arguments.quenlo.exists():
        sys.exit(f'{arguments.quenlo} not found: build the release preset or pass --quenlo')
    tools = [t for t in TOOLS if t.key in keys]
    out = arguments.output
    (out / 'sheets').mkdir(parents=True, exist_ok=True)
    inputs = prepare_inputs(catalogue, names, out / 'inputs')
    found_versions = versions()
    versions_text = json.dumps(found_versions, sort_keys=True)
    expected = load_expected_hashes()

    outcomes, hashes, notes, reused, edge_points = {}, [], {}, [], {}
    for name in names:
        case = catalogue['cases'][name]
        print(f'{name} ({case["class"]}, hole {case["hole pixels"]} px)', flush=True)
        truth, hole, continuity, case_outcomes, was_reused = run_case(
            name, tools, inputs[name], arguments, out, versions_text)
        outcomes[name] = case_outcomes
        edge_points[name] = len(continuity.checks)
        if was_reused:
            reused.append(name)
        if continuity.entries == 0 or not continuity.checks:
            notes.setdefault('no edge of the original runs into the hole; edge continuity not measured',
                             []).append(name)
        for tool in tools:
            outcome = case_outcomes[tool.key]
            if outcome['run'].note:
                notes.setdefault(f'{tool.label}: {outcome["run"].note}', []).append(name)
            changed = outcome['metrics']['changed_outside'] if outcome['metrics'] else 0
            if changed:
                notes.setdefault(f'{tool.label}: changed pixels outside the hole by more than 2 levels',
                                 []).append((name, changed, 'px'))
            if outcome['run'].wall and outcome['run'].wall > SLOW:
                notes.setdefault(f'{tool.label}: took more than {SLOW:.0f} s', []).append(
                    (name, round(outcome['run'].wall), 's'))
            if tool.ours and outcome['result'] is not None:
                digest = pixel_hash(outcome['result'])
                known = expected.get((name, tool.key))
                against = 'no record' if known is None else ('same' if known == digest else 'CHANGED')
                threads = thread_check(tool, arguments, inputs[name], out / 'results' / name, digest)
                hashes.append((name, tool.key, digest[:16], against, threads))
                print(f'  sha256 {tool.key}: {digest}  ({against}; threads 1: {threads})', flush=True)
        tiles = []
        for tool in tools:
            outcome = case_outcomes[tool.key]
            detail = (f'MAE {outcome["metrics"]["mae"]:.2f}  edges '
                      + (f'{outcome["metrics"]["edges"]:.2f}' if outcome['metrics']['edges'] is not None else '–')
                      if outcome['metrics'] else outcome['run'].status)
            picture = outcome['result'][:, :, ::-1] if outcome['result'] is not None else None
            tiles.append((tool.label, detail, picture))
        sheets.contact_sheet(f'{name}: {case["what"]}', truth[:, :, ::-1], hole, tiles,
                             out / 'sheets' / f'{name}.png')
        for outcome in case_outcomes.values():
            outcome.pop('result')

    if arguments.write_hashes:
        lines = ['# Pixel hashes (sha256 of the decoded BGR pixels and their shape) of the patch engine on the',
                 '# fill-quality cases: the engine is byte-exact, so a change here is a change of the engine.']
        lines += [f'{case} patches {digest}' for case, digest in
                  ((n, pixel_hash(cv2.imread(str(out / 'results' / n / 'patches.png'), cv2.IMREAD_COLOR)))
                   for n in names if outcomes[n].get('patches', {}).get('metrics'))]
        HASHES.write_text('\n'.join(lines) + '\n')

    timing_cases, timings = {}, {}
    if not arguments.no_timing:
        for name, case in catalogue['timing'].items():
            timing_cases[name] = case
            timings[name] = {}
            for method in ('patches', 'structure'):
                found = timing.measure(arguments.quenlo, method, CASES / case['file'],
                                       CASES / f'{name}_overlay.png', out / f'{name}_{method}.bmp',
                                       arguments.timing_runs, arguments.timeout)
                timings[name][method] = found
                print(f'{name} {method}: {found}', flush=True)

    revision = subprocess.run(['git', '-C', str(REPO), 'describe', '--always', '--dirty'],
                              capture_output=True, text=True).stdout.strip() or 'unknown revision'
    quenlo_shown = os.path.relpath(arguments.quenlo, REPO) if arguments.quenlo.is_absolute() else arguments.quenlo
    meta = {'date': datetime.date.today().isoformat(), 'cores': os.cpu_count(), 'quenlo': quenlo_shown,
            'revision': revision, 'versions': found_versions, 'timing runs': arguments.timing_runs,
            'reused': ', '.join(reused)}
    cases = {n: {**catalogue['cases'][n], 'edge points': edge_points[n]} for n in names}
    notes = [describe_note(text, where, len(names)) for text, where in notes.items()]
    section = report.Report(cases, tools, outcomes, meta).text(timing_cases, timings, notes, hashes)
    print(section)
    if not arguments.no_results:
        report.write_section(arguments.results, section)
        print(f'written: {arguments.results} (its fill-quality section); contact sheets in {out / "sheets"}')


if __name__ == '__main__':
    main()

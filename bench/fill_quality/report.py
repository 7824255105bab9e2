# SPDX-License-Identifier: MIT
"""The Markdown section of bench/results.md: the tables of one run."""
import math
import statistics

BEGIN = '<!-- fill-quality: begin (written by bench/fill_quality/run.py) -->'
END = '<!-- fill-quality: end -->'
MIB = 1024 * 1024


def cell(value, digits):
    if value is None:
        return '–'
    if isinstance(value, float) and math.isinf(value):
        return '∞'
    return f'{value:.{digits}f}'


def mean(values):
    values = [v for v in values if v is not None and not math.isinf(v)]
    return statistics.fmean(values) if values else None


class Report:
    def __init__(self, cases, tools, outcomes, meta):
        """outcomes[case][tool] = {'run': Run, 'metrics': dict or None, 'hash': str or None}"""
        self.cases, self.tools, self.outcomes, self.meta = cases, tools, outcomes, meta
        self.lines = []

    def add(self, *lines):
        self.lines.extend(lines)

    def metric(self, case, tool, key):
        outcome = self.outcomes[case][tool.key]
        return outcome['metrics'][key] if outcome['metrics'] else None

    def status(self, case, tool):
        return self.outcomes[case][tool.key]['run'].status

    def names(self, kind):
        return [name for name, case in self.cases.items() if case['class'] == kind]

    def mae_matrix(self):
        self.add('Mean absolute error over the hole\'s bounding box (0–255, every channel; lower is better;',
                 'the lowest of each row in bold; edge points: where edge continuity is judged):', '',
                 '| case | class | edge points | ' + ' | '.join(t.label for t in self.tools) + ' |',
                 '|---|---|---|' + '---|' * len(self.tools))
        for name, case in self.cases.items():
            values = [self.metric(name, t, 'mae') for t in self.tools]
            best = min((v for v in values if v is not None), default=None)
            cells = []
            for tool, value in zip(self.tools, values):
                text = cell(value, 2) if value is not None else self.status(name, tool)
                cells.append(f'**{text}**' if value is not None and value == best else text)
            self.add(f'| {name} | {case["class"]} | {case["edge points"]} | ' + ' | '.join(cells) + ' |')
        for kind, title in (('structure', 'mean, structure cases'), ('texture', 'mean, texture controls')):
            names = self.names(kind)
            means = [mean([self.metric(n, t, 'mae') for n in names]) for t in self.tools]
            self.add(f'| **{title}** | | | ' + ' | '.join(cell(m, 2) for m in means) + ' |')
        names = self.names('structure')
        wins = []
        for tool in self.tools:
            count = 0
            for name in names:
                values = [self.metric(name, t, 'mae') for t in self.tools]
                mine = self.metric(name, tool, 'mae')
                count += mine is not None and mine == min(v for v in values if v is not None)
            wins.append(str(count))
        self.add('| **lowest on structure cases** | | | ' + ' | '.join(f'{w} of {len(names)}' for w in wins) + ' |',
                 '')

    def summary(self):
        self.add('Means per tool (PSNR in dB and SSIM over the bounding box; hole MAE over the hole\'s',
                 'pixels only; edges: share of the edges entering the hole that go on in the fill; wall:',
                 'the whole command, loading and saving included):', '',
                 '| tool | cases | MAE | hole MAE | PSNR | SSIM | edges | wall s |', '|---|---|---|---|---|---|---|---|')
        for kind, title in (('structure', 'structure'), ('texture', 'texture')):
            names = self.names(kind)
            for tool in self.tools:
                done = [n for n in names if self.status(n, tool) == 'ok']
                walls = [self.outcomes[n][tool.key]['run'].wall for n in done]
                self.add(f'| {tool.label} | {title} ({len(done)} of {len(names)}) | '
                         + ' | '.join(cell(mean([self.metric(n, tool, k) for n in done]), d)
                                      for k, d in (('mae', 2), ('hole_mae', 2), ('psnr', 2), ('ssim', 3),
                                                   ('edges', 2)))
                         + f' | {cell(mean(walls), 2)} |')
        self.add('')

    def targets(self):
        structure = next((t for t in self.tools if t.key == 'structure'), None)
        patches = next((t for t in self.tools if t.key == 'patches'), None)
        self.add('Targets:', '')
        names = self.names('structure')
        if structure is None or all(self.status(n, structure) != 'ok' for n in names):
            self.add('- structure method: not measured (n/a: this quenlo-inpaint has no `--method structure`).')
        else:
            lowest = sum(self.metric(n, structure, 'mae') is not None and self.metric(n, structure, 'mae') ==
                         min(v for v in (self.metric(n, t, 'mae') for t in self.tools) if v is not None)
                         for n in names)
            self.add(f'- structure method lowest mean absolute error of every tool (ties count): on {lowest} of '
                     f'{len(names)} structure cases.')
            means = {t.label: mean([self.metric(n, t, 'mae') for n in names]) for t in self.tools}
            others = {label: value for label, value in means.items()
                      if label != structure.label and value is not None}
            if means[structure.label] is not None and others:
                best = min(others, key=others.get)
                self.add(f'- mean over the structure cases: structure {means[structure.label]:.2f}, the lowest of the '
                         f'others {others[best]:.2f} ({best}).')
            if patches is not None:
                textures = self.names('texture')
                ours = mean([self.metric(n, structure, 'mae') for n in textures])
                theirs = mean([self.metric(n, patches, 'mae') for n in textures])
                if ours is not None and theirs:
                    self.add(f'- texture controls: structure {ours:.2f} against patches {theirs:.2f} '
                             f'({100 * (ours / theirs - 1):+.1f} %, target within 5 %).')
        self.add('')

    def full_table(self):
        self.add('Every case and tool (times in seconds; fill: the fill alone, as the tool reports it or timed',
                 'around the call):', '',
                 '| case | tool | MAE | hole MAE | PSNR | SSIM | edges | wall | fill |',
                 '|---|---|---|---|---|---|---|---|---|')
        for name in self.cases:
            for tool in self.tools:
                outcome = self.outcomes[name][tool.key]
                run, found = outcome['run'], outcome['metrics']
                if found is None:
                    self.add(f'| {name} | {tool.label} | {run.status} | | | | | {cell(run.wall, 2)} | |')
                    continue
                self.add(f'| {name} | {tool.label} | {cell(found["mae"], 2)} | {cell(found["hole_mae"], 2)} | '
                         f'{cell(found["psnr"], 2)} | {cell(found["ssim"], 3)} | {cell(found["edges"], 2)} | '
                         f'{cell(run.wall, 2)} | {cell(run.fill, 3)} |')
        self.add('')

    def timing(self, timing_cases, timings):
        if not timings:
            return
        self.add('quenlo-inpaint on the speed cases (`/usr/bin/time -v`, median of '
                 f'{self.meta["timing runs"]} runs; JPEG in, BMP out; fill: the `time:` line):', '',
                 '| case | method | fill | target | wall | peak memory | limit (3 x picture + 64 MiB) |',
                 '|---|---|---|---|---|---|---|')
        for name, case in timing_cases.items():
            width, height = case['size']
            limit = 3 * width * height * 3 + 64 * MIB
            target = '0.5 s' if name == 'timing_1mp' else '2 s'
            for method, found in timings[name].items():
                label = f'{name} ({width} x {height}, hole {case["hole pixels"]} px)'
                if found['status'] != 'ok':
                    self.add(f'| {label} | {method} | {found["status"]} | {target} | | | {limit / MIB:.0f} MiB |')
                    continue
                self.add(f'| {label} | {method} | {cell(found["fill"], 3)} s | {target} | {found["wall"]:.2f} s | '
                         f'{found["rss"] / MIB:.0f} MiB ({found["rss"] / limit:.2f} of the limit) | '
                         f'{limit / MIB:.0f} MiB |')
        self.add('')

    def notes(self, notes, hashes):
        if hashes:
            self.add('Pixel hashes of our results (sha256 of the decoded BGR pixels, first 16 digits):', '',
                     '| case | method | hash | against hashes.txt | threads 1 |', '|---|---|---|---|---|')
            for row in hashes:
                self.add('| ' + ' | '.join(row) + ' |')
            self.add('')
        if notes:
            self.add('Notes on this run:', '')
            self.add(*[f'- {note}' for note in notes])
            self.add('')

    def text(self, timing_cases, timings, notes, hashes):
        meta = self.meta
        self.add(BEGIN, '', '## Fill quality on photographs', '',
                 f'{meta["date"]}, {meta["cores"]} cores, `bench/fill_quality/run.py`; quenlo-inpaint: '
                 f'`{meta["quenlo"]}` ({meta["revision"]}); ' + ', '.join(f'{k} {v}' for k, v in meta['versions'].items())
                 + '. All tools in this one run; definitions and cases in `bench/README.md` and',
                 '`bench/fill_quality/cases/SOURCES.md`.', '')
        if meta.get('reused'):
            self.add(f'Peers reused from an earlier run for: {meta["reused"]}.', '')
        self.mae_matrix()
        self.targets()
        self.summary()
        self.timing(timing_cases, timings)
        self.full_table()
        self.notes(notes, hashes)
        self.add(END)
        return '\n'.join(self.lines) + '\n'


def write_section(results_path, section):
    """Replaces this benchmark's section of results.md, or appends it; the
    rest of the file is left as it is."""
    text = results_path.read_text() if results_path.exists() else ''
    if BEGIN in text and END in text:
        before, rest = text.split(BEGIN, 1)
        after = rest.split(END, 1)[1].lstrip('\n')
        text = before + section + ('\n' + after if after else '')
    else:
        text = text.rstrip('\n') + '\n\n' + section
    results_path.write_text(text)

#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Reads the benchmark's JSON and prints, per size and case, the median frame time
# and its ratio to the floor (clearing and copying a frame of the same size).
# board, drag, message and closing, frames as the game draws them, are held to at
# most 1.5 x the floor at the two large sizes, and first_text, the first frame of a
# new text, to at most 1.2 x first_text_plain, that text painted plainly by the
# painter. Shown beside them: *_whole, a text frame drawn whole (after a resize),
# and board_unchanged, a frame the same as the one shown.
import json, sys

data = json.load(open(sys.argv[1]))
medians = {}
for b in data['benchmarks']:
    if b.get('aggregate_name') == 'median':
        name = '/'.join(b['run_name'].split('/')[:2])
        medians[name] = b['real_time']

ORDER = ['floor', 'board', 'drag', 'message', 'closing', 'message_whole', 'closing_whole',
         'first_text', 'first_text_plain', 'board_unchanged']
sizes = sorted({name.split('/')[1] for name in medians}, key=lambda s: int(s.split('x')[0]))

targets_ok = True
print(f"{'size':<11} {'case':<16} {'median us':>10} {'x floor':>8}")
for size in sizes:
    floor = medians.get(f'floor/{size}')
    names = sorted((n for n in medians if n.split('/')[1] == size),
                   key=lambda n: ORDER.index(n.split('/')[0]) if n.split('/')[0] in ORDER else len(ORDER))
    for name in names:
        t = medians[name]
        case = name.split('/')[0]
        ratio = t / floor if floor else float('nan')
        print(f"{size:<11} {case:<16} {t:>10.1f} {ratio:>8.2f}")
    plain = medians.get(f'first_text_plain/{size}')
    if plain:
        r = medians[f'first_text/{size}'] / plain
        print(f"  first frame of a new text / painted plainly at {size}: {r:.2f} (at most 1.2)")
        targets_ok = targets_ok and r <= 1.2
    if size != '501x355' and floor:
        for case in ('board', 'drag', 'message', 'closing'):
            r = medians.get(f'{case}/{size}', 0) / floor
            if r > 1.5:
                targets_ok = False
                print(f"  target missed: {case} at {size} is {r:.2f} x the floor (at most 1.5)")
    elif f'board/{size}' in medians:
        r = medians.get(f'closing/{size}', 0) / medians[f'board/{size}']
        print(f"  closing text / board only at {size}: {r:.2f} (at most 1.5)")
        if r > 1.5:
            targets_ok = False
print("all targets hold" if targets_ok else "some targets missed")
sys.exit(0 if targets_ok else 1)

#!/usr/bin/env python3
"""Removal speed under 64-bit Wine, on the same generated trees:

  ours    the 64-bit build of the program removing the data folder
  rd      the platform's own `cmd /c rd /s /q` on the same folder
  floor   a probe that deletes a precomputed list of the tree's files, then
          its folders, with bare DeleteFileA/RemoveDirectoryA and lists
          nothing: the least any remover can do through this platform layer
  native  `rm -rf` on the same tree: the file system's own floor

Every figure is the median of ROUNDS runs (default 5; rd, which is slow,
always 3) on a freshly written tree, and includes the start of the process.
Under Wine on a shared machine single runs scatter by 10 to 20 per cent,
hence the medians.

    bench/run.py BUILD_DIR [SIZE ...]
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

WINE = '/usr/lib/wine/wine64'
SERVER = '/usr/lib/wine/wineserver'


def tree(files):
    """Relative file paths of a game's data folder: a few save slots, a
    settings file, logs, and caches two and three levels deep."""
    paths = ['settings.ini', 'profile.json']
    slots = max(2, files // 400)
    for slot in range(slots):
        for name in ('game.sav', 'thumb.png', 'meta.json'):
            paths.append(f'saves/slot {slot}/{name}')
    logs = max(2, files // 50)
    paths += [f'logs/session.{n}.log' for n in range(logs)]
    n = 0
    while len(paths) < files:
        group, bucket, leaf = n // 2000, (n // 40) % 50, n % 40
        if group % 2:
            paths.append(f'cache/shaders.v{group}/{bucket:02x}/{leaf:04x}.bin')
        else:
            paths.append(f'cache/textures/{group}/{bucket:02x}/mip {leaf % 4}/{leaf:04x}.dds')
        n += 1
    return paths[:files]


def write_tree(root, paths):
    made = set()
    for path in paths:
        folder = os.path.dirname(path)
        if folder not in made:
            os.makedirs(os.path.join(root, folder), exist_ok=True)
            made.add(folder)
        with open(os.path.join(root, path), 'wb') as out:
            out.write(b'x' * 64)


def windows(path):
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def delete_list(root, paths):
    """Files first, then every folder, deepest first, the root last."""
    folders = set()
    for path in paths:
        folder = os.path.dirname(path)
        while folder:
            folders.add(folder)
            folder = os.path.dirname(folder)
    lines = ['F ' + windows(os.path.join(root, p)) for p in paths]
    lines += ['D ' + windows(os.path.join(root, f))
              for f in sorted(folders, key=lambda f: (-f.count('/'), f))]
    lines.append('D ' + windows(root))
    return '\n'.join(lines) + '\n'


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main(argv):
    build = os.path.abspath(argv[1])
    sizes = [int(s) for s in argv[2:]] or [1000, 10000, 50000]
    rounds = int(os.environ.get('ROUNDS', '5'))
    program = os.path.join(build, 'win64/lanternmoor-cleanup.exe')
    probe = os.path.join(build, 'win64/bench/probe/delete-list-probe.exe')
    prefix = os.path.join(build, 'bench-prefix')
    os.environ['WINEPREFIX'] = prefix
    os.makedirs(prefix, exist_ok=True)
    subprocess.run([SERVER, '-k'], stderr=subprocess.DEVNULL)
    subprocess.run([SERVER, '-p'], check=True)
    subprocess.run([WINE, 'wineboot', '-i'] if not os.path.exists(os.path.join(prefix, 'system.reg'))
                   else [WINE, 'wineboot'], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    users = os.path.join(prefix, 'drive_c/users')
    roaming = next(os.path.join(users, u, 'AppData/Roaming') for u in sorted(os.listdir(users))
                   if os.path.isdir(os.path.join(users, u, 'AppData/Roaming')))
    data = os.path.join(roaming, 'Brambleworth', 'Lanternmoor')
    list_file = os.path.join(build, 'bench-delete-list.txt')

    methods = {
        'ours': [WINE, program],
        'rd': [WINE, 'cmd', '/c', 'rd', '/s', '/q', windows(data)],
        'floor': [WINE, probe, windows(list_file)],
        'native': ['rm', '-rf', data],
    }
    results = {}
    try:
        for size in sizes:
            paths = tree(size)
            folders = len({os.path.dirname(p) for p in paths})
            with open(list_file, 'w') as out:
                out.write(delete_list(data, paths))
            # Rounds outside, methods inside, so that slow drifts of the
            # machine fall on every method alike.
            times = {name: [] for name in methods}
            for round in range(rounds):
                for name, command in methods.items():
                    if name == 'rd' and round >= 3:
                        continue
                    shutil.rmtree(data, ignore_errors=True)
                    write_tree(data, paths)
                    subprocess.run(['sync'])
                    times[name].append(timed(command))
                    if os.path.exists(data):
                        sys.exit(f'{name} left {data} behind')
            for name in methods:
                results[size, name] = statistics.median(times[name])
            print(f'{size} files in {folders} folders: ' +
                  ', '.join(f'{m} {results[size, m] * 1000:.0f} ms' for m in methods), flush=True)
    finally:
        subprocess.run([SERVER, '-k'], stderr=subprocess.DEVNULL)

    print()
    print(f'Median of {rounds} rounds (rd: 3), wall time including the process start.')
    print()
    print('| files | ours ms | rd ms | floor ms | native ms | ours/floor | ours/rd | ours/native |')
    print('|---:|---:|---:|---:|---:|---:|---:|---:|')
    for size in sizes:
        t = {m: results[size, m] for m in methods}
        print(f"| {size:,} | {t['ours'] * 1e3:.0f} | {t['rd'] * 1e3:.0f} | {t['floor'] * 1e3:.0f} | "
              f"{t['native'] * 1e3:.0f} | {t['ours'] / t['floor']:.2f} | {t['ours'] / t['rd']:.2f} | "
              f"{t['ours'] / t['native']:.1f} |")
    print()
    print('Cost per file (µs):')
    print()
    print('| files | ' + ' | '.join(methods) + ' |')
    print('|---:|' + '---:|' * len(methods))
    for size in sizes:
        print(f'| {size:,} | ' + ' | '.join(f'{results[size, m] / size * 1e6:.0f}' for m in methods) + ' |')


if __name__ == '__main__':
    main(sys.argv)

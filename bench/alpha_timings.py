#!/usr/bin/env python3
"""Whole-process timings of transparent strips against opaque ones.

The same knob twice as a PNG: once with clear corners and a soft, half-clear
rim, once laid over grey (every pixel opaque). torvelink-cli makes the common
toolkit strip of each, vertical, 128 frames from -135 to +135 degrees, as a
PNG: an RGBA strip from the first, an RGB strip from the second. The jobs run
in alternating order, round after round; per job the median wall time and its
ratio to the opaque strip of the same size. The machine is shared and noisy:
take the ratios, not the times.

  bench/alpha_timings.py --build build [--rounds 9] [--sizes 64 128 256]
"""
import argparse
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib


def knob(size, clear):
    """Rows of RGBA bytes: a shaded disc with a marker; outside it clear or grey."""
    c = (size + 1) / 2
    radius = size * 0.45
    rows = []
    for y in range(1, size + 1):
        row = bytearray()
        for x in range(1, size + 1):
            dx, dy = x - c, y - c
            d = (dx * dx + dy * dy) ** 0.5
            grain = ((x * 7919 + y * 104729) * 2654435761 >> 13) % 9
            v = 150 + int(60 * (-dx - dy) / size) + grain
            if abs(dx) < size * 0.04 and dy < -size * 0.15:
                v = 245
            rgb = (max(0, min(255, v)), max(0, min(255, v - 5)), max(0, min(255, v - 20)))
            alpha = max(0, min(255, int((radius + 1.5 - d) / 3 * 255)))
            if clear:
                row += bytes(rgb) + bytes((alpha,))
            else:
                row += bytes(round((k * alpha + 192 * (255 - alpha)) / 255) for k in rgb) + b"\xff"
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + r for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def run(command):
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}\n{result.stderr.decode()}")
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--sizes", type=int, nargs="+", default=[64, 128, 256])
    args = parser.parse_args()
    cli = os.path.join(args.build, "bin", "torvelink-cli")
    work = tempfile.mkdtemp(prefix="torvelink-alpha-")
    strip = ["--vertical", "--frames", "128", "--start", "-135", "--sweep", "270", "--format", "png"]
    jobs = {}
    for size in args.sizes:
        for kind in ("opaque", "clear"):
            picture = os.path.join(work, f"{kind}{size}.png")
            write_png(picture, size, knob(size, kind == "clear"))
            jobs[f"{kind} {size}"] = [cli, picture, *strip, "-o", os.path.join(work, f"{kind}{size}_strip.png")]
    print(f"load average {os.getloadavg()}, {args.rounds} rounds")
    walls = {name: [] for name in jobs}
    names = list(jobs)
    for r in range(args.rounds):
        for name in names if r % 2 == 0 else names[::-1]:
            walls[name].append(run(jobs[name]))
    print(f"{'job':12} {'median ms':>10} {'x opaque':>9} {'strip bytes':>12}")
    for name in names:
        median = statistics.median(walls[name])
        opaque = statistics.median(walls["opaque " + name.split()[1]])
        size = os.path.getsize(jobs[name][-1])
        print(f"{name:12} {median * 1000:10.1f} {median / opaque:9.2f} {size:12}")


if __name__ == "__main__":
    main()

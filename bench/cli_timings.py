#!/usr/bin/env python3
"""Whole-process timings of torvelink-cli against the plain reference builder.

Runs the jobs in alternating order, round after round, and prints per job the
median wall time, its ratio to the reference's median of the same run, the
peak resident memory and the output's size. The machine is shared and noisy:
take the ratios, not the times, and note the load printed at the start.

  bench/cli_timings.py --build build [--rounds 9] [--picture knob.bmp] [--sync]

The reference does not flush its file, so the disk is still busy with it
while the next command runs; torvelink-cli flushes before it renames. With
--sync every run starts on a quiet disk (the sync itself is not timed).
"""
import argparse
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time

FRAMES, RADIUS, ANGLE = "1000", "60", "0.36"
# The largest strip the program allows: 121 x 121 frames, as many as fit in
# 2^26 pixels.
LARGEST_FRAMES = str((1 << 26) // (121 * 121))


def knob_picture(path, size=121):
    """A shaded knob with a marker and fine grain, as a 24-bit BMP."""
    line = (size * 3 + 3) & ~3
    rows = []
    c = (size + 1) / 2
    for y in range(size, 0, -1):
        row = bytearray()
        for x in range(1, size + 1):
            dx, dy = x - c, y - c
            d2 = dx * dx + dy * dy
            grain = ((x * 7919 + y * 104729) * 2654435761 >> 13) % 9
            if d2 <= (size * 0.42) ** 2:
                shade = 150 + int(60 * (-dx - dy) / size) + grain
                marker = abs(dx) < 3 and dy < -size * 0.15
                v = 245 if marker else shade
                row += bytes((max(0, min(255, v - 20)), max(0, min(255, v - 5)), max(0, min(255, v))))
            else:
                g = 60 + (x + y) // 6 + grain
                row += bytes((g + 20, g + 10, g))
        rows.append(bytes(row) + b"\0" * (line - size * 3))
    pixels = b"".join(rows)
    head = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
    head += struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 3937, 3937, 0, 0)
    with open(path, "wb") as f:
        f.write(head + pixels)


def run(command):
    """Wall seconds and peak resident kilobytes of one process."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit(f"failed ({process.returncode}): {' '.join(command)}\n{process.stderr.read().decode()}")
    return wall, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--cli", help="torvelink-cli to time (default: the build's)")
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--picture", help="a 121 x 121 24-bit BMP (default: a generated knob)")
    parser.add_argument("--sync", action="store_true", help="flush all files before each run")
    args = parser.parse_args()
    cli = args.cli or os.path.join(args.build, "bin", "torvelink-cli")
    reference = os.path.join(args.build, "bench", "reference_strip")
    work = tempfile.mkdtemp(prefix="torvelink-timings-")
    picture = args.picture or os.path.join(work, "knob.bmp")
    if not args.picture:
        knob_picture(picture)
    out = lambda name: os.path.join(work, name)
    knob = ["--frames", FRAMES, "--radius", RADIUS, "--angle", ANGLE]
    jobs = {
        "reference bilinear": [reference, picture, out("ref.bmp"), FRAMES, RADIUS, ANGLE, "h"],
        "cli bilinear": [cli, picture, *knob, "-o", out("bilinear.bmp")],
        "reference nearest": [reference, picture, out("refn.bmp"), FRAMES, RADIUS, ANGLE, "h", "nearest"],
        "cli nearest": [cli, picture, *knob, "--nearest", "-o", out("nearest.bmp")],
        "cli png": [cli, picture, *knob, "-o", out("bilinear.png")],
        "cli largest strip": [cli, picture, "--frames", LARGEST_FRAMES, "--radius", RADIUS,
                              "--angle", ANGLE, "-o", out("largest.bmp")],
    }
    print(f"load average {os.getloadavg()}, {args.rounds} rounds, picture {picture}"
          f"{', sync before each run' if args.sync else ''}")
    walls = {name: [] for name in jobs}
    peaks = {name: 0 for name in jobs}
    names = list(jobs)
    for r in range(args.rounds):
        order = names if r % 2 == 0 else names[::-1]
        for name in order:
            if args.sync:
                os.sync()
            wall, peak = run(jobs[name])
            walls[name].append(wall)
            peaks[name] = max(peaks[name], peak)
    with open(out("ref.bmp"), "rb") as a, open(out("bilinear.bmp"), "rb") as b:
        same = a.read() == b.read()
    print(f"cli bilinear BMP identical to the reference's: {same}")
    base = {"bilinear": statistics.median(walls["reference bilinear"]),
            "nearest": statistics.median(walls["reference nearest"])}
    print(f"{'job':20} {'median ms':>10} {'x reference':>12} {'peak MB':>8} {'file bytes':>11}")
    files = {"cli bilinear": "bilinear.bmp", "cli nearest": "nearest.bmp", "cli png": "bilinear.png",
             "cli largest strip": "largest.bmp", "reference bilinear": "ref.bmp",
             "reference nearest": "refn.bmp"}
    for name in names:
        median = statistics.median(walls[name])
        against = base["nearest" if "nearest" in name else "bilinear"]
        ratio = f"{median / against:.3f}" if name.startswith("cli") and "largest" not in name else "-"
        size = os.path.getsize(out(files[name]))
        print(f"{name:20} {median * 1000:10.1f} {ratio:>12} {peaks[name] / 1024:8.1f} {size:11d}")
    print(f"load average {os.getloadavg()}")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Whole-process timings, sizes and memory of PNG strips, for the table in
bench/README.md.

  bench/png_timings.py --build build [--rounds 7] [--old-cli PATH] [--skip-small] [--sync]

Every group of jobs runs in alternating order, round after round; the medians
of the wall times are compared within the group (take the ratios, not the
times: the machine is shared). Groups:

  recipe   128 frames of a 512 px transparent knob, vertical PNG, against the
           usual Python recipe (rotate each frame with Pillow, stack, save)
  1000     1000 frames of 121 x 121 as PNG, a shaded knob and noise, against
           the plain one-thread reference builder's BMP of the same strip
  sizes    a transparent 256 px knob from 4 to 1024 frames (1 MB to 256 MB of
           pixels): wall time per megabyte, whole and less a one-frame run
  small    --compression small against optipng -o2 of the same pixels, on
           128 frames of a 128 px transparent knob

The program flushes its file before it renames it, the recipe and optipng
do not: with --sync every run starts on a quiet disk (the sync is not timed).
Sizes are compared with Pillow's default PNG of the same pixels. Every file
is checked: pngcheck passes it, and Pillow reads the BMP's pixels (opaque
strips) or, with --old-cli, the pixels the program wrote before (RGBA).
"""
import argparse
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

try:
    from PIL import Image
except ImportError:  # the system's Python has Debian's Pillow
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    sys.exit("needs Pillow (Debian: python3-pil)")

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from alpha_timings import knob, write_png  # noqa: E402
from cli_timings import knob_picture  # noqa: E402

RECIPE = '''
import sys
from PIL import Image
src = Image.open(sys.argv[1]).convert("RGBA")
frames = int(sys.argv[2])
w, h = src.size
strip = Image.new("RGBA", (w, h * frames))
for i in range(frames):
    angle = -135 + 270 * i / (frames - 1)
    strip.paste(src.rotate(-angle, resample=Image.BILINEAR), (0, i * h))
strip.save(sys.argv[3])
'''
TOOLKIT = ["--vertical", "--start", "-135", "--sweep", "270", "--format", "png"]
WIDE = ["--frames", "1000", "--radius", "60", "--angle", "0.36"]


def noise_picture(path, size=121):
    rng = random.Random(7)
    Image.frombytes("RGB", (size, size), bytes(rng.getrandbits(8) for _ in range(size * size * 3))).save(path)


def run(command, peak_file):
    """Wall seconds and peak resident kilobytes of one process. GNU time
    reports the peak: a child of this large process would count the pages
    it starts with as its own."""
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak_file, *command],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}\n{result.stderr.decode()}")
    with open(peak_file) as f:
        return wall, int(f.read().split()[-1])


SYNC = False


def timed(jobs, rounds):
    """Median wall seconds and peak resident MB per job, alternating."""
    peak_file = os.path.join(tempfile.gettempdir(), f"torvelink-peak-{os.getpid()}")
    walls = {name: [] for name in jobs}
    peaks = {name: 0 for name in jobs}
    names = list(jobs)
    for r in range(rounds):
        for name in names if r % 2 == 0 else names[::-1]:
            if SYNC:
                os.sync()
            wall, peak = run(jobs[name], peak_file)
            walls[name].append(wall)
            peaks[name] = max(peaks[name], peak / 1024)
    return {n: statistics.median(w) for n, w in walls.items()}, peaks


def pillow_size(png, work):
    out = os.path.join(work, "pillow.png")
    Image.open(png).save(out)
    return os.path.getsize(out)


def checked(png, expected=None):
    result = subprocess.run(["pngcheck", "-q", png], capture_output=True, text=True)
    ok = result.returncode == 0
    if expected is not None:
        a, b = Image.open(png), Image.open(expected)
        ok &= a.size == b.size and a.convert(b.mode).tobytes() == b.tobytes()
    return "yes" if ok else "NO"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--old-cli", help="the program before, whose RGBA pixels must come back")
    parser.add_argument("--skip-small", action="store_true")
    parser.add_argument("--sync", action="store_true", help="flush all files before each run")
    args = parser.parse_args()
    global SYNC
    SYNC = args.sync
    cli = os.path.abspath(os.path.join(args.build, "bin", "torvelink-cli"))
    reference = os.path.abspath(os.path.join(args.build, "bench", "reference_strip"))
    work = tempfile.mkdtemp(prefix="torvelink-png-")
    at = lambda name: os.path.join(work, name)
    knob_picture(at("knob.bmp"))
    noise_picture(at("noise.bmp"))
    for size in (128, 256, 512):
        write_png(at(f"clear{size}.png"), size, knob(size, True))
    with open(at("recipe.py"), "w") as f:
        f.write(RECIPE)
    print(f"load average {os.getloadavg()}, {args.rounds} rounds, in {work}\n")

    # The transparent toolkit strip against the Python recipe.
    jobs = {"python recipe": [sys.executable, at("recipe.py"), at("clear512.png"), "128", at("recipe.png")]}
    for level in ("fast", "default"):
        jobs[level] = [cli, at("clear512.png"), *TOOLKIT, "--frames", "128", "--compression", level,
                       "-o", at(f"clear512_{level}.png")]
    walls, peaks = timed(jobs, args.rounds)
    print("| 512 px x 128 frames, transparent, vertical | median ms | x recipe | peak MB | bytes | x Pillow |")
    print("|---|---|---|---|---|---|")
    for name, wall in walls.items():
        png = jobs[name][-1]
        pil = pillow_size(png, work) if name != "python recipe" else os.path.getsize(png)
        print(f"| {name} | {wall * 1000:.0f} | {wall / walls['python recipe']:.3f} | {peaks[name]:.0f} | "
              f"{os.path.getsize(png)} | {os.path.getsize(png) / pil:.3f} |")

    # 1000 frames of 121 x 121 against the reference's BMP.
    jobs = {}
    for picture in ("knob", "noise"):
        jobs[f"reference {picture}"] = [reference, at(f"{picture}.bmp"), at(f"ref_{picture}.bmp"),
                                        "1000", "60", "0.36", "h"]
        for level in ("fast", "default"):
            jobs[f"{level} {picture}"] = [cli, at(f"{picture}.bmp"), *WIDE, "--compression", level,
                                          "-o", at(f"{picture}_{level}.png")]
    walls, peaks = timed(jobs, args.rounds)
    print("\n| 1000 x 121 x 121 PNG | median ms | x reference BMP | peak MB | bytes | x Pillow | pixels = BMP, pngcheck |")
    print("|---|---|---|---|---|---|---|")
    for name, wall in walls.items():
        kind, picture = name.split()
        out = jobs[name][-1] if kind != "reference" else jobs[name][2]
        base = walls[f"reference {picture}"]
        if kind == "reference":
            print(f"| {name} (BMP) | {wall * 1000:.0f} | 1 | {peaks[name]:.0f} | {os.path.getsize(out)} | - | - |")
            continue
        print(f"| {name} | {wall * 1000:.0f} | {wall / base:.3f} | {peaks[name]:.0f} | {os.path.getsize(out)} | "
              f"{os.path.getsize(out) / pillow_size(out, work):.3f} | {checked(out, at(f'ref_{picture}.bmp'))} |")

    # Cost per megabyte from 1 MB to 256 MB of pixels.
    jobs = {}
    for frames in (1, 4, 16, 64, 256, 1024):
        jobs[frames] = [cli, at("clear256.png"), *TOOLKIT, "--frames", str(frames),
                        "-o", at(f"size{frames}.png")]
    walls, peaks = timed(jobs, args.rounds)
    print("\n| 256 px transparent, default | MB of pixels | median ms | ms per MB | less 1 frame, ms per MB | peak MB | pngcheck |")
    print("|---|---|---|---|---|---|---|")
    for frames, wall in walls.items():
        mb = 256 * 256 * 4 * frames / 2**20
        marginal = (wall - walls[1]) * 1000 / (mb - 0.25) if frames > 1 else 0
        print(f"| {frames} frames | {mb:g} | {wall * 1000:.0f} | {wall * 1000 / mb:.2f} | "
              f"{marginal:.2f} | {peaks[frames]:.0f} | {checked(jobs[frames][-1])} |")

    if args.old_cli:
        old = at("old_clear512.png")
        subprocess.run([args.old_cli, at("clear512.png"), *TOOLKIT, "--frames", "128", "-o", old], check=True)
        for level in ("fast", "default"):
            print(f"\nRGBA of {level} as the program wrote before, pngcheck: {checked(at(f'clear512_{level}.png'), old)}")

    if args.skip_small or not shutil.which("optipng"):
        return
    # small against optipng -o2 of the same pixels.
    base = at("clear128_default.png")
    subprocess.run([cli, at("clear128.png"), *TOOLKIT, "--frames", "128", "-o", base], check=True)
    jobs = {"optipng -o2": ["optipng", "-quiet", "-o2", "-force", "-clobber", "-out", at("optipng.png"), base],
            "small": [cli, at("clear128.png"), *TOOLKIT, "--frames", "128", "--compression", "small",
                      "-o", at("clear128_small.png")]}
    walls, peaks = timed(jobs, args.rounds)
    print("\n| 128 px x 128 frames, transparent | median ms | x optipng | bytes | x optipng | x Pillow | same RGBA, pngcheck |")
    print("|---|---|---|---|---|---|---|")
    opti = os.path.getsize(at("optipng.png"))
    for name, wall in walls.items():
        png = jobs[name][-1]
        print(f"| {name} | {wall * 1000:.0f} | {wall / walls['optipng -o2']:.3f} | {os.path.getsize(png)} | "
              f"{os.path.getsize(png) / opti:.3f} | {os.path.getsize(png) / pillow_size(png, work):.3f} | "
              f"{checked(png, base)} |")


if __name__ == "__main__":
    main()

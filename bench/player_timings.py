#!/usr/bin/env python3
"""Whole-process timings of the command line with the picture player against
the command line before it (which decoded pixel pictures itself), for the
table in bench/README.md.

  bench/player_timings.py --build build --old-cli OLD [--rounds 9]

Jobs, each a 4-frame strip of small pictures, run alternating, round after
round; the medians of the wall times are compared (take the differences and
ratios, not the times: the machine is shared):

  one      one 45 x 45 BMP: the player's start is part of the run
  batch    twenty 45 x 45 PNGs in one run: one start, a process a picture
  svg      one SVG drawing, which no pixel picture's player reads: the same
           work both ways, to see the machine's noise

Every strip the new program writes is checked byte for byte against the
old one's.
"""
import argparse
import filecmp
import os
import statistics
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

SVG = ('<svg xmlns="http://www.w3.org/2000/svg" width="45" height="45">'
       '<circle cx="22" cy="22" r="20" fill="#468"/></svg>')


def pictures(folder):
    made = []
    for i in range(20):
        image = Image.new("RGB", (45, 45))
        image.putdata([((x * 7 + i) & 255, (y * 5) & 255, (x * y + i) & 255)
                       for y in range(45) for x in range(45)])
        made.append(os.path.join(folder, f"k{i:02d}.png"))
        image.save(made[-1])
    image.save(os.path.join(folder, "one.bmp"))
    with open(os.path.join(folder, "one.svg"), "w") as svg:
        svg.write(SVG)
    return made


def run(program, arguments):
    start = time.perf_counter()
    subprocess.run([program, *arguments, "--frames", "4", "-q"], check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--old-cli", required=True, help="the command line before the player")
    parser.add_argument("--rounds", type=int, default=9)
    args = parser.parse_args()
    new = os.path.join(args.build, "bin", "torvelink-cli")
    with tempfile.TemporaryDirectory() as folder:
        batch = pictures(folder)
        jobs = {
            "one": lambda out: [os.path.join(folder, "one.bmp"), "-o", os.path.join(out, "one.bmp")],
            "batch": lambda out: [*batch, "--format", "png", "-o", out + "/"],
            "svg": lambda out: [os.path.join(folder, "one.svg"), "-o", os.path.join(out, "one.png")],
        }
        print(f"{args.rounds} rounds, medians, milliseconds")
        print("| job | before | with the player | added | added per picture |")
        print("|---|---|---|---|---|")
        for name, arguments in jobs.items():
            outs = {which: os.path.join(folder, f"{name}-{which}") for which in ("old", "new")}
            times = {"old": [], "new": []}
            for _ in range(args.rounds):
                for which, program in (("old", args.old_cli), ("new", new)):
                    os.makedirs(outs[which], exist_ok=True)
                    times[which].append(run(program, arguments(outs[which])))
            for written in os.listdir(outs["new"]):
                if not filecmp.cmp(os.path.join(outs["old"], written),
                                   os.path.join(outs["new"], written), shallow=False):
                    sys.exit(f"{name}: {written} differs from the program before")
            old, new_ = (1000 * statistics.median(times[w]) for w in ("old", "new"))
            count = len(batch) if name == "batch" else 1
            print(f"| {name} | {old:.1f} | {new_:.1f} | {new_ - old:.1f} | {(new_ - old) / count:.1f} |")


if __name__ == "__main__":
    main()

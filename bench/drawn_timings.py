#!/usr/bin/env python3
"""Whole-process timings of a drawing turned as a drawing against its pixels
turned by the sharp routine, on the same strip.

The strip: 129 frames of bench/knobs/knob_lettered.svg at 256 x 256 pixels
from -135 to +135 degrees, PNG written fast. The jobs run in alternating
order, round after round; printed per job: the median wall time and its ratio
to the sharp routine's median of the same run. The machine is shared and
noisy: take the ratios, not the times.

  bench/drawn_timings.py --build build [--rounds 9] [--size 256]
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--size", type=int, default=256)
    args = parser.parse_args()
    program = os.path.join(args.build, "bin", "torvelink-cli")
    knob = os.path.join(HERE, "knobs", "knob_lettered.svg")
    with tempfile.TemporaryDirectory() as work:
        common = [program, knob, "--size", str(args.size), "--frames", "129", "--start", "-135",
                  "--sweep", "270", "--format", "png", "--compression", "fast", "-q",
                  "-o", os.path.join(work, "strip.png")]
        jobs = {
            "pixels turned, --routine sharp": common + ["--routine", "sharp"],
            "turned as a drawing, --oversample 1": common + ["--oversample", "1"],
            "turned as a drawing, --oversample 2": common + ["--oversample", "2"],
            "turned as a drawing (4 x, the default)": common,
        }
        times = {name: [] for name in jobs}
        print(f"load average {os.getloadavg()[0]:.2f}, {args.rounds} rounds")
        for _ in range(args.rounds):
            for name, command in jobs.items():
                start = time.perf_counter()
                subprocess.run(command, check=True, stderr=subprocess.DEVNULL)
                times[name].append(time.perf_counter() - start)
    base = statistics.median(times["pixels turned, --routine sharp"])
    print("| job | median | ratio |")
    print("|---|---|---|")
    for name, taken in times.items():
        median = statistics.median(taken)
        print(f"| {name} | {median * 1000:.0f} ms | {median / base:.2f} |")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Whole-process timings and peak memory of stacked strips, for the table in
bench/README.md.

  bench/layer_timings.py --build build [--rounds 7] [--sync] [--skip-memory]
                         [--parts] [--old-cli OLD]

The stack is a knob of four layers: a still soft shadow, the turning body, a
drawn value arc with its track, a still gloss. The body is alpha_timings.py's
transparent knob, so that the one-picture strip of the same body is the
yardstick. Every group runs in alternating order, round after round; the
medians of the wall times are compared within the group (take the ratios,
not the times: the machine is shared). Groups:

  128      129 frames of 128 px, the toolkit strip (vertical PNG), the stack
           against the body alone
  recipe   129 frames of 512 px, --compression fast, against the usual Python
           recipe of the same stack: each frame the shadow, the body turned by
           Pillow's rotate, the arc drawn by ImageDraw, the gloss, each laid on
           with alpha_composite, stacked and saved; the stack with its arc
           drawn finer (--oversample 4) besides
  memory   peak resident memory: 1000 frames of 121 px and the largest strip
           (1024 frames of 256 px, 256 MB of pixels), each with and without
           the layers

A run's parts can be timed alone with --parts: the stack with a layer left out
at a time, the turn alone on a canvas as large as the stack's. --old-cli times
the stack with another torvelink-cli besides (a build before a change).
"""
import argparse
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import png_timings  # noqa: E402  (runs itself under Debian's Python when it has Pillow)
from alpha_timings import knob, write_png  # noqa: E402
from PIL import Image, ImageChops, ImageDraw, ImageFilter  # noqa: E402

TOOLKIT = ["--vertical", "--start", "-135", "--sweep", "270", "--format", "png"]
ARC = ["--arc", "#3DB8FF", "--arc-track", "#3A3F47"]

RECIPE = '''
import sys
from PIL import Image, ImageDraw
shadow, body, gloss = (Image.open(p).convert("RGBA") for p in sys.argv[1:4])
frames, out = int(sys.argv[4]), sys.argv[5]
w, h = shadow.size
width = max(1.5, w * 0.06)
radius = w / 2 - width
box = (w / 2 - radius - width / 2, h / 2 - radius - width / 2,
       w / 2 + radius + width / 2, h / 2 + radius + width / 2)
strip = Image.new("RGBA", (w, h * frames))
for i in range(frames):
    angle = -135 + 270 * i / (frames - 1)
    frame = shadow.copy()
    turned = body.rotate(-angle, resample=Image.BILINEAR)
    frame.alpha_composite(turned, ((w - body.width) // 2, (h - body.height) // 2))
    arc = Image.new("RGBA", (w, h))
    draw = ImageDraw.Draw(arc)
    draw.arc(box, -225, 45, fill=(58, 63, 71, 255), width=round(width))
    if i:
        draw.arc(box, -225, angle - 90, fill=(61, 184, 255, 255), width=round(width))
    frame.alpha_composite(arc)
    frame.alpha_composite(gloss)
    strip.paste(frame, (0, i * h))
strip.save(out)
'''


def shadow_picture(size):
    """A soft, dark ellipse a little below the middle."""
    layer = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    m = size * 0.12
    ImageDraw.Draw(layer).ellipse((m, m + size * 0.06, size - m, size - m * 0.6), fill=(0, 0, 0, 130))
    return layer.filter(ImageFilter.GaussianBlur(size * 0.035))


def gloss_picture(size):
    """A translucent white sheen over the upper half, fading downwards."""
    sheen = Image.new("L", (size, size), 0)
    ImageDraw.Draw(sheen).ellipse((size * 0.28, size * 0.2, size * 0.72, size * 0.5), fill=255)
    fade = Image.linear_gradient("L").resize((size, size)).point(lambda v: int((255 - v) * 0.55))
    layer = Image.new("RGBA", (size, size), (255, 255, 255, 0))
    layer.putalpha(ImageChops.multiply(sheen, fade))
    return layer


def pictures(work, size):
    """The stack's files for a canvas of size px: the body is a little
    smaller, with room for the arc around it."""
    at = lambda name: os.path.join(work, f"in_{name}{size}.png")
    body = round(size * 0.78)
    write_png(at("body"), body, knob(body, True))
    shadow_picture(size).save(at("shadow"))
    gloss_picture(size).save(at("gloss"))
    # The body alone on the stack's canvas: the one-picture strip of the same size.
    on = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    on.alpha_composite(Image.open(at("body")).convert("RGBA"), ((size - body) // 2,) * 2)
    on.save(at("alone"))
    return {name: at(name) for name in ("body", "shadow", "gloss", "alone")}


def stack(files, size, *more):
    return [files["body"], "--under", files["shadow"], *ARC, "--over", files["gloss"],
            "--canvas", f"{size},{size}", *more]


def same(a, b):
    with open(a, "rb") as x, open(b, "rb") as y:
        return "the same bytes" if x.read() == y.read() else "OTHER BYTES"


def table(title, walls, peaks, base, jobs):
    print(f"\n| {title} | median ms | x {base} | peak MB |")
    print("|---|---|---|---|")
    for name, wall in walls.items():
        print(f"| {name} | {wall * 1000:.0f} | {wall / walls[base]:.3f} | {peaks[name]:.0f} |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--sync", action="store_true", help="flush all files before each run")
    parser.add_argument("--skip-memory", action="store_true")
    parser.add_argument("--parts", action="store_true", help="time the stack's parts alone")
    parser.add_argument("--old-cli", help="another torvelink-cli to time the stack with")
    args = parser.parse_args()
    png_timings.SYNC = args.sync
    cli = os.path.abspath(os.path.join(args.build, "bin", "torvelink-cli"))
    work = tempfile.mkdtemp(prefix="torvelink-layers-")
    out = lambda name: os.path.join(work, name)
    print(f"load average {os.getloadavg()}, {args.rounds} rounds, in {work}")

    small = pictures(work, 128)
    jobs = {"one picture": [cli, small["alone"], *TOOLKIT, "--frames", "129", "-o", out("alone128.png")],
            "four layers": [cli, *stack(small, 128), *TOOLKIT, "--frames", "129", "-o", out("stack128.png")]}
    if args.old_cli:
        jobs["four layers, old"] = [args.old_cli, *stack(small, 128), *TOOLKIT, "--frames", "129", "-o",
                                    out("old128.png")]
    if args.parts:
        jobs["turn alone, stack's canvas"] = [cli, small["body"], "--motion", "turn", "--canvas", "128,128",
                                              *TOOLKIT, "--frames", "129", "-o", out("turn128.png")]
        jobs["no arc"] = [cli, small["body"], "--under", small["shadow"], "--over", small["gloss"],
                          "--canvas", "128,128", *TOOLKIT, "--frames", "129", "-o", out("noarc128.png")]
        jobs["arc only"] = [cli, small["body"], *ARC, "--canvas", "128,128", *TOOLKIT, "--frames", "129",
                            "-o", out("arc128.png")]
    walls, peaks = png_timings.timed(jobs, args.rounds)
    table("128 px x 129 frames, vertical PNG", walls, peaks, "one picture", jobs)
    if args.old_cli:
        print(f"\nold and new stack: {same(out('old128.png'), out('stack128.png'))}")

    large = pictures(work, 512)
    with open(out("recipe.py"), "w") as f:
        f.write(RECIPE)
    jobs = {"python recipe": [sys.executable, out("recipe.py"), large["shadow"], large["body"], large["gloss"],
                              "129", out("recipe512.png")],
            "four layers, fast": [cli, *stack(large, 512), *TOOLKIT, "--frames", "129", "--compression", "fast",
                                  "-o", out("stack512.png")],
            "one picture, fast": [cli, large["alone"], *TOOLKIT, "--frames", "129", "--compression", "fast",
                                  "-o", out("alone512.png")],
            "four layers, fast, --oversample 4": [cli, *stack(large, 512), *TOOLKIT, "--frames", "129",
                                                  "--compression", "fast", "--oversample", "4",
                                                  "-o", out("fine512.png")]}
    if args.old_cli:
        jobs["four layers, fast, old"] = [args.old_cli, *stack(large, 512), *TOOLKIT, "--frames", "129",
                                          "--compression", "fast", "-o", out("old512.png")]
    walls, peaks = png_timings.timed(jobs, args.rounds)
    table("512 px x 129 frames, vertical PNG", walls, peaks, "python recipe", jobs)
    if args.old_cli:
        print(f"\nold and new stack: {same(out('old512.png'), out('stack512.png'))}")

    if args.skip_memory:
        return
    # Peaks need no medians: each job once a round, the largest kept.
    wide = ["--frames", "1000", "--angle", "0.36", "--format", "png"]
    mid = pictures(work, 121)
    big = pictures(work, 256)
    largest = [*TOOLKIT, "--frames", "1024"]
    jobs = {"1000 x 121, one picture": [cli, mid["alone"], *wide, "-o", out("m_alone.png")],
            "1000 x 121, four layers": [cli, *stack(mid, 121), *wide, "-o", out("m_stack.png")],
            "1024 x 256 (256 MB), one picture": [cli, big["alone"], *largest, "-o", out("b_alone.png")],
            "1024 x 256 (256 MB), four layers": [cli, *stack(big, 256), *largest, "-o", out("b_stack.png")]}
    walls, peaks = png_timings.timed(jobs, 3)
    print("\n| peak memory | median ms | peak MB | x one picture |")
    print("|---|---|---|---|")
    for name, wall in walls.items():
        alone = peaks[name.replace("four layers", "one picture")]
        print(f"| {name} | {wall * 1000:.0f} | {peaks[name]:.1f} | {peaks[name] / alone:.3f} |")


if __name__ == "__main__":
    main()

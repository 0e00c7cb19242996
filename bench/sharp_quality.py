#!/usr/bin/env python3
"""How close the turning routines come to a knob drawn turned.

Ground truth: the knob drawings of bench/knobs/ drawn by an independent
renderer (librsvg's rsvg-convert) at 8 times the size with the turn in the
drawing (the disc of radius size / 2 turned, the rest still), laid on
mid-grey and box-averaged to size. The routines turn the same drawing first
made into pixels at 0 degrees (drawn at 8 times, box-averaged in
premultiplied colour). Each frame of a 13-frame strip from -135 to +135
degrees is laid on mid-grey and compared with the truth; the table gives the
PSNR of the worst frame, in dB, for our bilinear and sharp routines
(bench/turn_frames), the command line's strip of the drawing turned as a
drawing (oversampled as it is by default, and less), and Pillow's BILINEAR and BICUBIC
turns of the same pixels (the usual Python recipe: the turned picture pasted
through the disc).

    bench/sharp_quality.py --build build [--sizes 64,128,256]
    bench/sharp_quality.py --make-knobs      # writes bench/knobs/*.svg anew
"""
import argparse
import math
import os
import subprocess
import sys
import tempfile

try:
    from PIL import Image, ImageChops, ImageDraw
except ImportError:  # the system's Python has Debian's Pillow
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    sys.exit("needs Pillow (Debian: python3-pil)")

HERE = os.path.dirname(os.path.abspath(__file__))
KNOBS = os.path.join(HERE, "knobs")
FRAMES = 13
START, STEP = -135.0, 22.5
OVERSAMPLE = 8
GREY = (128, 128, 128, 255)
KINDS = ("lettered", "plain")
DESIGN = 64  # the knobs' own size in pixels


def knob_svg(lettered):
    """A knob drawn for 64 x 64 pixels: a 2 px pointer, 1 px knurls, a soft
    shadow, bold lettering; larger sizes draw the same knob larger."""
    size = DESIGN
    c = size / 2
    body = 0.40 * size
    ring = body - 1.5
    cap = 0.30 * size
    knurls = max(8, round(2 * math.pi * ring / 3))
    dash = 2 * math.pi * ring / knurls
    text = ""
    if lettered:
        text = (f'<text x="{c}" y="{c + 0.2 * size:.3f}" font-family="DejaVu Sans" '
                f'font-weight="bold" font-size="{0.15 * size:.3f}" text-anchor="middle" '
                f'fill="#141418">VOL</text>')
    return f'''<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">
<defs>
<linearGradient id="body" gradientUnits="userSpaceOnUse" x1="{c - body:.3f}" y1="{c - body:.3f}" x2="{c + body:.3f}" y2="{c + body:.3f}">
<stop offset="0" stop-color="#e4e4ea"/><stop offset="1" stop-color="#4a4a54"/></linearGradient>
<linearGradient id="cap" gradientUnits="userSpaceOnUse" x1="{c - cap:.3f}" y1="{c - cap:.3f}" x2="{c + cap:.3f}" y2="{c + cap:.3f}">
<stop offset="0" stop-color="#b8bcc8"/><stop offset="1" stop-color="#70747e"/></linearGradient>
<radialGradient id="shadow" gradientUnits="userSpaceOnUse" cx="{c + 0.02 * size:.3f}" cy="{c + 0.035 * size:.3f}" r="{body + 0.08 * size:.3f}">
<stop offset="{body / (body + 0.08 * size) - 0.12:.4f}" stop-color="#000" stop-opacity="0.5"/><stop offset="1" stop-color="#000" stop-opacity="0"/></radialGradient>
<g id="knob">
<circle cx="{c + 0.02 * size:.3f}" cy="{c + 0.035 * size:.3f}" r="{body + 0.08 * size:.3f}" fill="url(#shadow)"/>
<circle cx="{c}" cy="{c}" r="{body:.3f}" fill="url(#body)"/>
<circle cx="{c}" cy="{c}" r="{ring:.3f}" fill="none" stroke="#18181c" stroke-width="3" stroke-dasharray="1 {dash - 1:.4f}"/>
<circle cx="{c}" cy="{c}" r="{cap:.3f}" fill="url(#cap)"/>
{text}
<line x1="{c}" y1="{c}" x2="{c}" y2="{c - 0.36 * size:.3f}" stroke="#c01818" stroke-width="2"/>
</g>
</defs>
<use href="#knob"/>
</svg>
'''


def knob_path(kind):
    return os.path.join(KNOBS, f"knob_{kind}.svg")


def turned_svg(knob, size, angle):
    """The knob with the disc of radius size / 2 turned by angle degrees
    clockwise and the rest still, drawn at OVERSAMPLE times size."""
    c = DESIGN / 2
    big = size * OVERSAMPLE
    size = DESIGN
    head, _, rest = knob.partition("<defs>")
    defs, _, _ = rest.partition("</defs>")
    return f'''<svg xmlns="http://www.w3.org/2000/svg" width="{big}" height="{big}" viewBox="0 0 {size} {size}">
<defs>{defs}
<clipPath id="disc"><circle cx="{c}" cy="{c}" r="{c}"/></clipPath>
<clipPath id="still"><path clip-rule="evenodd" d="M0 0H{size}V{size}H0Z M{c} 0A{c} {c} 0 1 0 {c} {size}A{c} {c} 0 1 0 {c} 0Z"/></clipPath>
</defs>
<g clip-path="url(#still)"><use href="#knob"/></g>
<g clip-path="url(#disc)"><g transform="rotate({angle} {c} {c})"><use href="#knob"/></g></g>
</svg>
'''


def draw(svg_text, work, name, side=None):
    svg = os.path.join(work, name + ".svg")
    png = os.path.join(work, name + ".png")
    with open(svg, "w") as f:
        f.write(svg_text)
    scale = [] if side is None else ["-w", str(side), "-h", str(side)]
    subprocess.run(["rsvg-convert", *scale, "-o", png, svg], check=True)
    return Image.open(png).convert("RGBA")


def on_grey(picture):
    return Image.alpha_composite(Image.new("RGBA", picture.size, GREY), picture).convert("RGB")


def psnr(a, b):
    histogram = ImageChops.difference(a, b).histogram()
    squares = sum(n * (v % 256) ** 2 for v, n in enumerate(histogram))
    mse = squares / (a.size[0] * a.size[1] * 3)
    return float("inf") if mse == 0 else 10 * math.log10(255 * 255 / mse)


def angles():
    return [START + k * STEP for k in range(FRAMES)]


def ours(build, routine, source, size, work):
    raw, out = os.path.join(work, "source.rgba"), os.path.join(work, routine + ".rgba")
    with open(raw, "wb") as f:
        f.write(source.tobytes())
    program = os.path.join(build, "bench", "turn_frames")
    subprocess.run([program, routine, str(size), str(size), str(FRAMES), str(size / 2),
                    str(START), str(STEP), raw, out], check=True)
    with open(out, "rb") as f:
        strip = Image.frombytes("RGBA", (size, size * FRAMES), f.read())
    return [strip.crop((0, k * size, size, (k + 1) * size)) for k in range(FRAMES)]


def drawn(build, kind, size, work, oversample=None):
    """The command line's own strip of the drawing, turned as a drawing."""
    out = os.path.join(work, f"drawn{oversample}.png")
    program = os.path.join(build, "bin", "torvelink-cli")
    asked = [] if oversample is None else ["--oversample", str(oversample)]
    subprocess.run([program, knob_path(kind), "--size", str(size), "--frames", str(FRAMES),
                    "--start", str(START), "--angle", str(STEP), "--radius", str(size / 2),
                    "--vertical", "--format", "png", *asked, "-o", out, "-q"], check=True)
    strip = Image.open(out).convert("RGBA")
    return [strip.crop((0, k * size, size, (k + 1) * size)) for k in range(FRAMES)]


def pillow(source, size, resample):
    """Pillow turns counter-clockwise; the turned picture goes where a pixel's
    centre lies inside the disc."""
    mask = Image.new("L", (size, size), 0)
    c, r = size / 2, size / 2
    mask.putdata([255 if (x + 0.5 - c) ** 2 + (y + 0.5 - c) ** 2 <= r * r else 0
                  for y in range(size) for x in range(size)])
    frames = []
    for angle in angles():
        frame = source.copy()
        frame.paste(source.rotate(-angle, resample=resample), (0, 0), mask)
        frames.append(frame)
    return frames


def measure(build, kind, size, work):
    knob = open(knob_path(kind)).read()
    truth = [on_grey(draw(turned_svg(knob, size, a), work, f"truth{k}")).reduce(OVERSAMPLE)
             for k, a in enumerate(angles())]
    big = draw(knob, work, "source", size * OVERSAMPLE)
    source = big.reduce(OVERSAMPLE)  # premultiplied in Pillow for RGBA
    routines = {
        "bilinear (ours today)": ours(build, "bilinear", source, size, work),
        "sharp (ours)": ours(build, "sharp", source, size, work),
        "drawing turned as a drawing (ours, oversampled 4 x)": drawn(build, kind, size, work),
        "the same, --oversample 2": drawn(build, kind, size, work, 2),
        "the same, --oversample 1": drawn(build, kind, size, work, 1),
        "Pillow BILINEAR": pillow(source, size, Image.BILINEAR),
        "Pillow BICUBIC": pillow(source, size, Image.BICUBIC),
    }
    return {name: min(psnr(on_grey(f), t) for f, t in zip(frames, truth))
            for name, frames in routines.items()}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--sizes", default="64,128,256")
    parser.add_argument("--make-knobs", action="store_true")
    args = parser.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]
    if args.make_knobs:
        os.makedirs(KNOBS, exist_ok=True)
        for kind in KINDS:
            with open(knob_path(kind), "w") as f:
                f.write(knob_svg(kind == "lettered"))
        return
    results = {}
    with tempfile.TemporaryDirectory() as work:
        for kind in KINDS:
            for size in sizes:
                results[kind, size] = measure(args.build, kind, size, work)
    names = list(next(iter(results.values())))
    print("| knob | routine | " + " | ".join(f"{s} px" for s in sizes) + " |")
    print("|---|---|" + "---|" * len(sizes))
    for kind in KINDS:
        for name in names:
            cells = " | ".join(f"{results[kind, s][name]:.1f}" for s in sizes)
            print(f"| {kind} | {name} | {cells} |")


if __name__ == "__main__":
    main()

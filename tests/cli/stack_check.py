#!/usr/bin/env python3
"""A stack against an independent composition: the strip of a knob with a
still layer under it and one over it equals, frame by frame, Pillow's
alpha_composite of those layers with the program's strip of the turning
picture alone, within 1/255 in premultiplied colour. Exit 77: Pillow is
missing."""
import subprocess
import sys
import tempfile

try:
    from PIL import Image, ImageDraw
except ImportError:
    print("Pillow is not installed (scripts/install-deps.sh installs python3-pil)")
    sys.exit(77)

cli = sys.argv[1]
W, H, FRAMES = 48, 40, 7


def premultiplied(p):
    r, g, b, a = p
    return (r * a / 255.0, g * a / 255.0, b * a / 255.0, a)


with tempfile.TemporaryDirectory() as folder:
    knob = Image.new("RGBA", (30, 30), (0, 255, 0, 0))
    draw = ImageDraw.Draw(knob)
    draw.ellipse((1, 1, 28, 28), fill=(70, 80, 200, 230))
    draw.rectangle((13, 2, 16, 14), fill=(255, 255, 255, 255))
    knob.save(folder + "/knob.png")
    shadow = Image.new("RGBA", (W, H), (255, 0, 0, 0))
    ImageDraw.Draw(shadow).ellipse((6, 8, 44, 38), fill=(0, 0, 0, 110))
    shadow.save(folder + "/shadow.png")
    gloss = Image.new("RGBA", (W, H), (0, 0, 255, 0))
    ImageDraw.Draw(gloss).rectangle((10, 5, 38, 15), fill=(255, 255, 240, 70))
    gloss.save(folder + "/gloss.png")
    common = ["--frames", str(FRAMES), "--start", "-120", "--end", "120", "--vertical",
              "--format", "png", "-q"]
    for args in (
        [folder + "/knob.png", "--motion", "turn", "--canvas", f"{W},{H}", "-o",
         folder + "/alone.png"],
        [folder + "/knob.png", "--under", folder + "/shadow.png", "--over",
         folder + "/gloss.png", "-o", folder + "/stack.png"]):
        run = subprocess.run([cli] + args + common, capture_output=True)
        assert run.returncode == 0, run.stderr
    alone = Image.open(folder + "/alone.png").convert("RGBA")
    stack = Image.open(folder + "/stack.png").convert("RGBA")
    assert stack.size == (W, H * FRAMES), stack.size
    worst = 0.0
    for i in range(FRAMES):
        box = (0, i * H, W, (i + 1) * H)
        expected = Image.alpha_composite(
            Image.alpha_composite(shadow, alone.crop(box)), gloss)
        got = stack.crop(box)
        for e, g in zip(expected.getdata(), got.getdata()):
            for x, y in zip(premultiplied(e), premultiplied(g)):
                worst = max(worst, abs(x - y))
    # Within a step of 1/255, and the half step each side rounds its colour
    # to.
    assert worst <= 1.5, worst
    print("worst difference", worst)

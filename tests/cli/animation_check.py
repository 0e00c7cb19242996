#!/usr/bin/env python3
"""The animated preview read by Pillow, a PNG reader of its own: as many
frames as the sweep forth and back shows, each exactly the strip's frame,
one sweep in about 1.5 seconds, looping. Exit 77: Pillow is missing."""
import subprocess
import sys
import tempfile

try:
    from PIL import Image, ImageDraw
except ImportError:
    print("Pillow is not installed (scripts/install-deps.sh installs python3-pil)")
    sys.exit(77)

cli = sys.argv[1]
with tempfile.TemporaryDirectory() as folder:
    # Clear corners with a colour of their own, a half-clear mark.
    knob = Image.new("RGBA", (33, 27), (255, 0, 0, 0))
    draw = ImageDraw.Draw(knob)
    draw.ellipse((2, 2, 30, 24), fill=(40, 90, 200, 255))
    draw.rectangle((15, 3, 18, 12), fill=(255, 255, 255, 200))
    knob.save(folder + "/k.png")
    # 200 frames: too many to show each for 20 ms, so every third one (and
    # the last).
    for frames, step, shown_forth in ((9, 1, 9), (200, 3, 68)):
        run = subprocess.run(
            [cli, folder + "/k.png", "--frames", str(frames), "--start", "-135", "--end", "135",
             "--preview-animation", "-o", folder + "/s.png", "-q"], capture_output=True)
        assert run.returncode == 0, run.stderr
        strip = Image.open(folder + "/s.png").convert("RGBA")
        animation = Image.open(folder + "/s.apng")
        forth = list(range(1, frames, step)) + [frames]
        assert len(forth) == shown_forth, (frames, len(forth))
        order = forth + forth[-2:0:-1]
        assert animation.n_frames == len(order), (frames, animation.n_frames)
        assert animation.info.get("loop") == 0, "loops for ever"
        for k, i in enumerate(order):
            animation.seek(k)
            shown = animation.convert("RGBA")
            frame = strip.crop(((i - 1) * 33, 0, i * 33, 27))
            assert shown.tobytes() == frame.tobytes(), (frames, k, i)
            sweep = animation.info["duration"] * (len(forth) - 1)
            assert abs(sweep - 1500) < 60, sweep
print("the animation holds the strip's frames")

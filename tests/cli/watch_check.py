#!/usr/bin/env python3
"""--watch as a designer meets it: a layer saved by an editor (a new file
renamed over the old) is built again; a picture caught half written is
refused with a message and the last strip stays, until the rest of it comes;
Ctrl-C ends the watch, in the middle of a build too, with the strip whole and
no temporary file left. Exit 77: Pillow is missing."""
import io
import os
import queue
import signal
import subprocess
import sys
import tempfile
import threading
import time

try:
    from PIL import Image, ImageDraw
except ImportError:
    print("Pillow is not installed (scripts/install-deps.sh installs python3-pil)")
    sys.exit(77)

cli = os.path.abspath(sys.argv[1])
# Generous: the watch starts again 150 ms after a change settles.
WITHIN = 20


def png(size, colour, mark):
    picture = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(picture)
    draw.ellipse((1, 1, size - 2, size - 2), fill=colour)
    draw.rectangle((size // 2 - 1, 2, size // 2 + 1, mark), fill=(255, 255, 255, 255))
    data = io.BytesIO()
    picture.save(data, "PNG")
    return data.getvalue()


def lines(stream, into):
    for line in iter(stream.readline, ""):
        into.put(line.rstrip("\n"))


class Watch:
    def __init__(self, args, folder):
        env = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8")
        self.process = subprocess.Popen([cli] + args, cwd=folder, env=env, text=True,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.said, self.problems = queue.Queue(), queue.Queue()
        for stream, into in ((self.process.stdout, self.said),
                             (self.process.stderr, self.problems)):
            threading.Thread(target=lines, args=(stream, into), daemon=True).start()

    def expect(self, line, said=None):
        """Waits for the line; returns the lines said before it."""
        said = said or self.said
        before = []
        while True:
            try:
                got = said.get(timeout=WITHIN)
            except queue.Empty:
                raise AssertionError(f"not said within {WITHIN} s: {line!r}; said: {before}")
            if got == line:
                return before
            before.append(got)


def save_by_rename(path, data):
    with open(path + ".saving", "wb") as f:
        f.write(data)
    os.rename(path + ".saving", path)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def leftovers(*folders):
    return [name for folder in folders for name in os.listdir(folder)
            if name.endswith((".tmp", ".old"))]


with tempfile.TemporaryDirectory() as folder:
    knob, shadow = os.path.join(folder, "knob.png"), os.path.join(folder, "shadow.png")
    with open(knob, "wb") as f:
        f.write(png(40, (200, 60, 40, 255), 14))
    save_by_rename(shadow, png(40, (0, 0, 0, 60), 0))
    with open(os.path.join(folder, "knob.json"), "w") as f:
        f.write('{"picture": "knob.png", "under": ["shadow.png"], "frames": 9, "vertical": true}')
    strip = os.path.join(folder, "out", "knob_Seq_V.png")
    watch = Watch(["knob.json", "--watch", "--depfile", "knob.d", "-o", "out/"], folder)
    watch.expect("Watching 3 files for changes; Ctrl-C ends.")
    first = read(strip)

    # The designer saves the shadow darker.
    save_by_rename(shadow, png(40, (0, 0, 0, 160), 0))
    watch.expect("shadow.png changed: 1 file written again")
    second = read(strip)
    assert second != first, "the strip shows the new shadow"
    assert "shadow.png" in read(os.path.join(folder, "knob.d")).decode()

    # An editor writes the knob in two goes; the watch sees the first half.
    whole = png(40, (40, 200, 60, 255), 20)
    with open(knob, "wb") as f:
        f.write(whole[: len(whole) // 2])
        f.flush()
        watch.expect("knob.json: Cannot read 'knob.png': it is damaged or not a picture.",
                     watch.problems)
        watch.expect("knob.png changed: nothing written, the last files stay")
        assert read(strip) == second, "the last good strip stays"
        f.write(whole[len(whole) // 2:])
    watch.expect("knob.png changed: 1 file written again")
    third = read(strip)
    assert third not in (first, second)

    # Ctrl-C while nothing is built: the watch ends by it.
    watch.process.send_signal(signal.SIGINT)
    assert watch.process.wait(WITHIN) == -signal.SIGINT
    assert read(strip) == third
    assert leftovers(folder, os.path.join(folder, "out")) == []

    # Ctrl-C as a large strip is built again: it is the old one or the new
    # one, whole, and no temporary file is left.
    watch = Watch(["knob.json", "--watch", "--frames", "500", "--layout", "grid:25",
                   "--compression", "small", "-o", "out/"], folder)
    watch.expect("Watching 3 files for changes; Ctrl-C ends.")
    old = read(os.path.join(folder, "out", "knob_Seq_G.png"))
    save_by_rename(shadow, png(40, (0, 0, 0, 30), 0))
    # As soon as its temporary file is there, or the build is done.
    deadline = time.monotonic() + WITHIN
    while (not leftovers(os.path.join(folder, "out")) and watch.said.empty()
           and time.monotonic() < deadline):
        time.sleep(0.001)
    watch.process.send_signal(signal.SIGINT)
    assert watch.process.wait(WITHIN) == -signal.SIGINT
    assert leftovers(folder, os.path.join(folder, "out")) == []
    grid = read(os.path.join(folder, "out", "knob_Seq_G.png"))
    assert grid == old or Image.open(io.BytesIO(grid)).size == (40 * 25, 40 * 20)
print("watched")

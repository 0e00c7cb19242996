#!/usr/bin/env python3
"""Checks that every folder includes only headers of its own folder and of the
layers below it, and that its names live in the one namespace named for it.
Prints each include that points the wrong way and each file outside its
folder's namespace; exit 1 if any."""
import os
import re
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Each layer and the layers it may use.
allowed = {
    "engine": set(),
    "render": {"engine"},
    "messages": set(),
    "platform": {"engine", "messages"},
    "drawing": {"engine"},
    "pictures": {"engine", "messages", "platform"},
    # The encoder takes rows from whoever makes them.
    "png": set(),
    "output": {"engine", "render", "png", "messages", "platform"},
    "controls": {"engine", "drawing"},
    "preview": {"engine", "drawing", "controls"},
    "window": {"engine", "render", "messages", "platform", "drawing", "pictures", "png", "output",
               "controls", "preview"},
    "plan": {"engine", "messages", "platform", "pictures", "png", "output"},
    "cli": {"engine", "render", "messages", "platform", "pictures", "png", "output", "plan"},
    # The players are programs of their own: they share only the protocols.
    "player": {"pictures"},
}
# What the players share with the picture loader that starts them.
protocols = {
    "player_protocol.h", "metafile_protocol.h", "drawing_protocol.h", "picture_protocol.h"
}
# Layers that use the standard library only.
plain = {"engine", "render", "png"}
headers = {}
for layer in allowed:
    for name in os.listdir(os.path.join(root, layer)):
        if name.endswith(".h"):
            headers[name] = layer

# The programs' thin tops, which hold main() and nothing of their own.
tops = {"main.cpp", "docs_main.cpp", "svg_main.cpp", "picture_main.cpp"}

bad = 0
for layer in allowed:
    folder = os.path.join(root, layer)
    for name in sorted(os.listdir(folder)):
        if not name.endswith((".h", ".cpp")):
            continue
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            text = f.read()
        for included in re.findall(r'#include\s+"([^"]+)"', text):
            owner = headers.get(os.path.basename(included))
            # The players are programs of their own: of the picture loader
            # they share only the protocols.
            if layer == "player" and owner == "pictures" and included not in protocols:
                print(f"player/{name} includes pictures/{included}")
                bad += 1
            if owner and owner != layer and owner not in allowed[layer]:
                print(f"{layer}/{name} includes {owner}/{included}")
                bad += 1
        namespace = layer.capitalize()
        if name not in tops and not re.search(rf"^namespace {namespace} {{$", text, re.M):
            print(f"{layer}/{name} is not in namespace {namespace}")
            bad += 1
        if layer in plain and re.search(r"#include\s+<Q", text):
            print(f"{layer}/{name} includes a Qt header")
            bad += 1
sys.exit(1 if bad else 0)

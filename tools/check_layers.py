#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""Fails when an #include "..." under src/ or sim/ points from a lower layer to a higher one.

Layers, lowest first; folders on one line are peers and do not include each other:
    platform < link < device < eqresponse, netsetup, driverpkg < remote (core)
    < resources < controls < eqresponse/view < ui
    < editor, netsetup/dialogs, driverpkg/install, remote/dialog < shell
cli and sim sit beside the windows over the core: they include the core only, and nothing
includes them but the shell, which runs simulated units for the user (virtual units). The one
exception: cli may include the words of ui (ui/...Words.h, QtCore only), so that serve words a
page's texts as the window program does. A
header of sim/ is included by its bare name. Usage: check_layers.py [SOURCE_DIR]
"""
import pathlib
import re
import sys

CORE_TOP = 4
LAYERS = [
    ["platform"],
    ["link"],
    ["device"],
    ["eqresponse", "netsetup", "driverpkg"],
    ["remote"],  # the hub draws the EQ curves it sends with the curve maths
    ["resources"],
    ["controls"],
    ["eqresponse/view"],
    ["ui"],
    ["editor", "netsetup/dialogs", "driverpkg/install", "remote/dialog"],
    ["shell"],
]
BESIDE = ["cli", "sim"]  # over the core, beside the windows
INCLUDED_BY = {"sim": ["shell"]}  # the exceptions: who may include them
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
WORDS = re.compile(r"^ui/[A-Za-z]+Words\.h$")  # the shared words, QtCore only


def folder_of(path):
    """The longest known folder that path (relative to src/, or under sim/) lies in."""
    known = [f for layer in LAYERS for f in layer] + BESIDE
    parts = path.split("/")
    for n in range(len(parts) - 1, 0, -1):
        candidate = "/".join(parts[:n])
        if candidate in known:
            return candidate
    return None


def rank(folder):
    for r, layer in enumerate(LAYERS):
        if folder in layer:
            return r
    return None


def problem(source, target):
    """Why the folder source may not include the folder target, or None."""
    if source == target:
        return None
    if target in BESIDE and source in INCLUDED_BY.get(target, []):
        return None
    if target in BESIDE:
        return f"{target} sits beside the windows; nothing includes it"
    if source in BESIDE:
        return None if rank(target) <= CORE_TOP else f"{source} includes the core only"
    if rank(target) > rank(source):
        return f"{target} is a higher layer than {source}"
    if rank(target) == rank(source):
        return f"{target} and {source} are peers"
    return None


def files(root):
    for top in ("src", "sim"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix in (".h", ".cpp"):
                yield path


def check(root):
    failures = []
    for path in files(root):
        relative = path.relative_to(root).as_posix()
        own = "sim/x" if relative.startswith("sim/") else relative[len("src/"):]
        source = folder_of(own)
        if source is None:
            failures.append(f"{relative}: folder has no layer in tools/check_layers.py")
            continue
        lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            if "/" not in match.group(1):
                beside = (path.parent / match.group(1)).exists()
                if beside or not (root / "sim" / match.group(1)).exists():
                    continue  # a file beside this one, or not one of ours
                target = "sim"
            else:
                target = folder_of(match.group(1))
            if target is None:
                if (root / "src" / match.group(1)).exists():
                    failures.append(f"{relative}:{number}: \"{match.group(1)}\" has no layer")
                continue  # not one of ours (a generated or third-party header)
            why = problem(source, target)
            if why and source == "cli" and WORDS.match(match.group(1)):
                why = None
            if why:
                failures.append(f"{relative}:{number}: includes \"{match.group(1)}\": {why}")
    return failures


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    failures = check(root)
    for failure in failures:
        print(failure)
    if failures:
        print(f"{len(failures)} include(s) against the layers")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

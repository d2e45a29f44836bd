#!/usr/bin/env python3
"""Keeps the source tree's layers looking down only.

Each folder under src/ belongs to a layer. A file may include headers from its own layer or a lower
one, never from a higher layer, and a feature never includes another feature: features meet only in
app/, which composes them. The <header> entries of Qt Designer files count as includes. Headers are
named from src/ ("window/Alerts.h") or beside the including file; an include that climbs with ".." or
leaves src/ is refused, since it could reach any layer while looking like one of its own folder.

  check-layers.py [SRC_DIR]         judge every include, print the folder map, fail on a violation
  check-layers.py --map SRC_DIR     print which folder includes which, judging nothing
"""
import re
import sys
from collections import defaultdict
from pathlib import Path

CORE, WINDOW, FEATURE, APP = 0, 1, 2, 3
LAYER_NAMES = {CORE: "core", WINDOW: "window services", FEATURE: "features", APP: "app"}

LAYERS = {
    "plist": CORE,
    "attributes": CORE,
    "feed": CORE,
    "settings": CORE,
    "session": CORE,
    "cli": CORE,
    "window": WINDOW,
    # Designer files are compiled into the widgets that use them: they may name window services only.
    "resources": WINDOW,
    "editor": FEATURE,
    "scratchpad": FEATURE,
    "updates": FEATURE,
    "help": FEATURE,
    "app": APP,
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
UI_HEADER = re.compile(r"<header>([^<]+)</header>")
SOURCE_SUFFIXES = {".cpp", ".h", ".ui"}


def includes(path):
    pattern = UI_HEADER if path.suffix == ".ui" else INCLUDE
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            for match in pattern.finditer(line):
                yield number, match.group(1).strip()


def included_folder(src, path, header):
    """The folder of src/ a quoted include names, None for a generated or system header, or a reason
    to refuse it. Headers are named from src/ ("window/Alerts.h"): a ".." or an absolute path could
    reach any layer, or leave the tree, while reading like an include of its own folder."""
    if header.startswith("/"):
        return None, "leaves src/; name headers from src/, as folder/File.h"
    if ".." in header.replace("\\", "/").split("/"):
        return None, "climbs out of its folder; name headers from src/, as folder/File.h"
    # The compiler looks beside the including file first, then in src/.
    for base in (path.parent, src):
        candidate = (base / header).resolve()
        if candidate.exists():
            if src.resolve() not in candidate.parents:
                return None, "leaves src/ (through a link)"
            return candidate.relative_to(src.resolve()).parts[0], None
    parts = header.split("/")
    # Generated headers (BuildConfig.h, ui_*.h) and system headers name no folder of ours.
    if len(parts) > 1 and (src / parts[0]).is_dir():
        return parts[0], None
    return None, None


def scan(src):
    """Yields (file, line, own folder, included folder or None, refusal or None) for every include
    that names a folder of ours or is refused."""
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(src)
        if len(relative.parts) < 2:
            continue
        for number, header in includes(path):
            folder, refusal = included_folder(src, path, header)
            if folder or refusal:
                yield relative, number, relative.parts[0], folder, f'"{header}" {refusal}' if refusal else None


def main(argv):
    judge = "--map" not in argv
    args = [a for a in argv if a != "--map"]
    src = Path(args[0] if args else Path(__file__).resolve().parent.parent / "src")
    if not src.is_dir():
        print(f"check-layers: no source folder {src}", file=sys.stderr)
        return 2

    graph = defaultdict(set)
    problems = []
    for folder in sorted(p.name for p in src.iterdir() if p.is_dir()):
        if judge and folder not in LAYERS:
            problems.append(f"src/{folder}/: folder has no layer; add it to {Path(__file__).name}")
    for relative, number, own, other, refusal in scan(src):
        if refusal:
            if judge:
                problems.append(f"src/{relative}:{number}: {refusal}")
            continue
        if own != other:
            graph[own].add(other)
        if not judge or own not in LAYERS or other not in LAYERS:
            continue
        mine, theirs = LAYERS[own], LAYERS[other]
        if theirs > mine:
            problems.append(f"src/{relative}:{number}: {own}/ ({LAYER_NAMES[mine]}) includes "
                            f"{other}/ ({LAYER_NAMES[theirs]}), a higher layer")
        elif mine == theirs == FEATURE and own != other:
            problems.append(f"src/{relative}:{number}: feature {own}/ includes feature {other}/; "
                            f"features meet only in app/")

    for folder in sorted(set(graph) | {p.name for p in src.iterdir() if p.is_dir()}):
        layer = LAYER_NAMES.get(LAYERS.get(folder), "?") if judge else ""
        label = f"{folder}/" + (f" [{layer}]" if layer else "")
        print(f"{label:28} -> {', '.join(sorted(graph[folder])) or '-'}")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""The layer check must catch what it exists for: each row plants one include in a small tree that is
otherwise sound, and the check must fail naming the file and line (or pass, for the sound tree)."""
import subprocess
import sys
import tempfile
from pathlib import Path

SCRIPT = Path(__file__).resolve().parent.parent / "scripts" / "check-layers.py"

SOUND = {
    "plist/PlistValue.h": "#pragma once\n",
    "attributes/Codec.cpp": '#include "plist/PlistValue.h"\n',
    "window/Alerts.h": '#include "settings/Preferences.h"\n',
    "settings/Preferences.h": "#pragma once\n",
    "editor/EditorWidget.cpp": '#include "attributes/Codec.h"\n#include "window/Alerts.h"\n#include "ui_EditorWidget.h"\n',
    "scratchpad/ScratchpadWindow.cpp": '#include "BuildConfig.h"\n',
    "resources/EditorWidget.ui": "<ui>\n <header>window/DropArea.h</header>\n</ui>\n",
    "app/main.cpp": '#include "editor/EditorWidget.h"\n#include "scratchpad/ScratchpadWindow.h"\n',
    "app/Local.h": "#pragma once\n",
}

ROWS = [
    # (row name, file, planted text, expected in the message or None for a pass)
    ("sound tree passes", None, None, None),
    ("feature includes app", "editor/EditorWidget.cpp", '#include "app/AppDelegate.h"\n',
     "src/editor/EditorWidget.cpp:4: editor/ (features) includes app/"),
    ("core includes window services", "plist/PlistValue.h", '#include "window/Alerts.h"\n',
     "src/plist/PlistValue.h:2: plist/ (core) includes window/"),
    ("feature includes sibling feature", "scratchpad/ScratchpadWindow.cpp", '  #  include "editor/EditorWidget.h"\n',
     "src/scratchpad/ScratchpadWindow.cpp:2: feature scratchpad/ includes feature editor/"),
    ("designer header names a feature", "resources/EditorWidget.ui", "<header>editor/AttributesPanel.h</header>\n",
     "src/resources/EditorWidget.ui:4: resources/ (window services) includes editor/"),
    ("folder without a layer", "newthing/Thing.cpp", '#include "plist/PlistValue.h"\n',
     "src/newthing/: folder has no layer"),
    ("core climbs to app", "plist/PlistValue.h", '#include "../app/AppDelegate.h"\n',
     'src/plist/PlistValue.h:2: "../app/AppDelegate.h" climbs out of its folder'),
    ("climb hidden inside a folder name", "attributes/Codec.cpp", '#include "window/../app/main.h"\n',
     'src/attributes/Codec.cpp:2: "window/../app/main.h" climbs out of its folder'),
    ("absolute path out of the tree", "window/Alerts.h", '#include "/usr/include/stdio.h"\n',
     'src/window/Alerts.h:2: "/usr/include/stdio.h" leaves src/'),
    ("sibling header beside the file", "app/main.cpp", '#include "Local.h"\n', None),
]


def run(row):
    name, planted_file, text, expected = row
    with tempfile.TemporaryDirectory() as directory:
        src = Path(directory) / "src"
        files = dict(SOUND)
        if planted_file:
            files[planted_file] = files.get(planted_file, "") + text
        for relative, content in files.items():
            (src / relative).parent.mkdir(parents=True, exist_ok=True)
            (src / relative).write_text(content)
        result = subprocess.run([sys.executable, str(SCRIPT), str(src)], capture_output=True, text=True)
    if expected is None:
        ok = result.returncode == 0 and not result.stderr
    else:
        ok = result.returncode == 1 and expected in result.stderr
    print(f"{'PASS' if ok else 'FAIL'}: {name}")
    if not ok:
        print(f"  exit {result.returncode}, stderr:\n{result.stderr}")
    return ok


if __name__ == "__main__":
    results = [run(row) for row in ROWS]
    print(f"{results.count(True)} passed, {results.count(False)} failed")
    sys.exit(0 if all(results) else 1)

#!/usr/bin/env python3
"""The core's folders include one way: each folder may include only the folders
below it in this table (and itself), and nothing of a host. A file format reads the
grid's column table, never a view model.

Usage: core_layers_test.py SRC_CORE_DIR"""
import pathlib
import re
import sys

ALLOWED = {
    "text": set(),
    "record": {"text"},
    "http_text": {"text", "record"},
    "http_cache": {"text", "record", "http_text"},
    "capture": {"text", "record", "http_text"},
    "update": {"text"},
    "views": {"text", "record", "http_text", "capture"},
    "inspector": {"text", "record", "http_text", "views"},
    "cache": {"text", "record", "http_text", "capture", "views"},
    "session_io": {"text", "record", "http_text", "update", "views"},
    "chromium_cache": {"text", "record", "http_text", "http_cache"},
    "bodies": {"text", "record", "http_text", "http_cache", "capture", "cache"},
    "devtools": {"text", "record", "http_text", "capture", "cache", "inspector"},
}
# What a file format may take from the views: the grid's columns, and the identifiers
# of the commands that write each format.
FORMAT_VIEWS = {"views/grid_columns.h", "views/main_commands.h"}

core = pathlib.Path(sys.argv[1])
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
failures = []
folders = {path.name for path in core.iterdir() if path.is_dir()}
for unknown in sorted(folders - ALLOWED.keys()):
    failures.append(f"{unknown}/ has no place in the table of layers")
for path in sorted(core.rglob("*")):
    if path.suffix not in {".h", ".cpp"}:
        continue
    folder = path.relative_to(core).parts[0]
    for name in include.findall(path.read_text(encoding="utf-8")):
        target = name.split("/")[0] if "/" in name else None
        where = f"{path.relative_to(core)} includes {name}"
        if target is None or target not in ALLOWED:
            failures.append(f"{where}: not a header of the core")
        elif target != folder and target not in ALLOWED.get(folder, set()):
            failures.append(f"{where}: {folder}/ may not include {target}/")
        elif folder == "session_io" and target == "views" and name not in FORMAT_VIEWS:
            failures.append(f"{where}: a file format reads only {', '.join(sorted(FORMAT_VIEWS))}")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)

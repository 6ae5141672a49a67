#!/usr/bin/env python3
"""Holds every #include of the project's own headers to the layer order.

Usage: check_include_layers.py [ROOT]   (ROOT defaults to the repository)
       check_include_layers.py --self-test   (the check on a small tree of faults)

Each folder below is one layer (a CMake library, or a part of one); it may
include its own headers and those of the layers listed for it, which are the
targets it links. A file in a folder not listed fails the check, so that a new
folder gets its place in the table. tests/, bench/ and fuzz/ may include
anything. Exits 1 and names file, line and include for every include out of
order.
"""

import os
import re
import sys

PLATFORM = {"platform", "platform/terminal", "platform/btrieve"}
# What each layer may include besides itself, from the targets it links.
ALLOWED = {
    "platform": set(),
    "platform/terminal": {"platform"},
    "platform/btrieve": {"platform"},
    "abilitylib": set(),
    "screens": set(),
    "console": PLATFORM,
}
ALLOWED["database"] = ALLOWED["console"] | {"console", "abilitylib"}
ALLOWED["search"] = ALLOWED["database"] | {"database"}
ALLOWED["simulators"] = ALLOWED["database"] | {"database"}
ALLOWED["walker"] = ALLOWED["search"] | {"search", "simulators", "screens"}
ALLOWED["browsers"] = ALLOWED["walker"] | {"walker", "screens"}
ALLOWED["shell"] = ALLOWED["browsers"] | {"browsers"}
ALLOWED["exporter"] = ALLOWED["database"] | {"database"}
ALLOWED["tools"] = ALLOWED["exporter"] | {"exporter"}

ANYTHING = {"tests", "bench", "fuzz"}
SKIPPED = {".git", "build", "docs", "data"}
SOURCE_SUFFIXES = (".h", ".hpp", ".hh", ".cpp", ".cc", ".cxx", ".inc", ".ipp")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def layer_of(path):
    """The layer of a repository-relative path: its longest listed folder."""
    parts = path.split("/")
    for n in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:n])
        if folder in ALLOWED:
            return folder
    return None


def is_project_path(path):
    top = path.split("/")[0]
    return top in {p.split("/")[0] for p in ALLOWED} | ANYTHING


def check(root):
    problems = []
    for directory, subdirs, files in os.walk(root):
        rel_dir = os.path.relpath(directory, root)
        rel_dir = "" if rel_dir == "." else rel_dir
        top = rel_dir.split("/")[0] if rel_dir else ""
        if top in SKIPPED or top.startswith("build") or top in ANYTHING:
            subdirs[:] = []
            continue
        subdirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            rel = f"{rel_dir}/{name}" if rel_dir else name
            own = layer_of(rel)
            if own is None:
                problems.append(f"{rel}: the folder {rel_dir or '.'} has no place in the layer "
                                f"table of {os.path.basename(__file__)}")
                continue
            with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                lines = f.readlines()
            for number, line in enumerate(lines, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                included = m.group(1)
                # A name found beside the including file is read from there.
                beside = os.path.normpath(os.path.join(rel_dir, included))
                if not included.startswith("/") and os.path.isfile(os.path.join(root, beside)):
                    included = beside
                if not is_project_path(included):
                    continue
                target = layer_of(included)
                top = included.split("/")[0]
                if top in ANYTHING:
                    source = top
                elif target is None or target == own or target in ALLOWED[own]:
                    continue
                else:
                    source = target
                problems.append(
                    f'{rel}:{number}: includes "{m.group(1)}" from {source}, which {own} may '
                    f"not include (it may include: {', '.join(sorted(ALLOWED[own] | {own}))})")
    return problems


# The small tree in bad_tree/ and what the check must say about it.
SELF_TEST_EXPECTED = [
    'console/widget.cpp:3: includes "database/records/records.h" from database, which console '
    "may not include (it may include: console, platform, platform/btrieve, platform/terminal)",
    'database/cache.cpp:2: includes "tests/temp_dir.h" from tests, which database may not '
    "include (it may include: abilitylib, console, database, platform, platform/btrieve, "
    "platform/terminal)",
    "newlayer/thing.h: the folder newlayer has no place in the layer table of "
    "check_include_layers.py",
    'platform/low.h:4: includes "console/console.h" from console, which platform may not '
    "include (it may include: platform)",
    'platform/terminal/pad.cpp:2: includes "../btrieve/btrieve.h" from platform/btrieve, which '
    "platform/terminal may not include (it may include: platform, platform/terminal)",
]


def self_test():
    got = check(os.path.join(os.path.dirname(os.path.abspath(__file__)), "bad_tree"))
    if got == SELF_TEST_EXPECTED:
        print("the check finds every fault of bad_tree/")
        return 0
    print("the check's findings on bad_tree/ differ from the expected ones")
    print("got:\n  " + "\n  ".join(got))
    print("expected:\n  " + "\n  ".join(SELF_TEST_EXPECTED))
    return 1


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    root = os.path.abspath(root)
    problems = check(root)
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} problem(s) with the layer order "
              "(platform <- console <- database <- search, simulators <- walker <- browsers <- shell)")
        return 1
    print("every project include follows the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())

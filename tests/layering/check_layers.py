#!/usr/bin/env python3
"""Checks the layering of the code against src/layers.txt.

    check_layers.py ROOT

ROOT holds src/ (with layers.txt) and README.md. Fails, naming file and
line, when a file includes a header of a folder on its own line or above
it, when a folder under src/ is not in the list, or when README.md's table
names the folders in another order than the list."""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')


def read_layers(src):
    levels = {}
    for number, line in enumerate((src / "layers.txt").read_text().splitlines()):
        line = line.split("#", 1)[0].strip()
        for folder in line.split():
            levels[folder] = number
    return levels


def include_faults(src, levels):
    faults = []
    for folder in sorted(p for p in src.iterdir() if p.is_dir()):
        if folder.name not in levels:
            faults.append(f"src/{folder.name}/ is not in src/layers.txt")
            continue
        level = levels[folder.name]
        for path in sorted(folder.rglob("*")):
            if path.suffix not in (".h", ".cpp") or not path.is_file():
                continue
            text = path.read_text(errors="replace").splitlines()
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match or match.group(1) == folder.name:
                    continue
                target = match.group(1)
                if target in levels and levels[target] >= level:
                    where = "beside" if levels[target] == level else "above"
                    faults.append(f"{path.relative_to(src.parent)}:{number} includes "
                                  f"\"{target}/...\", a layer {where} {folder.name}/")
    return faults


def readme_faults(root, levels):
    named = re.findall(r"`src/([a-z]+)/`", (root / "README.md").read_text())
    order = [levels[name] for name in named if name in levels]
    faults = []
    if sorted(order) != order:
        faults.append("README.md lists the src/ folders in another order than src/layers.txt")
    missing = sorted(set(levels) - set(named))
    if missing:
        faults.append("README.md does not list " + ", ".join(f"src/{m}/" for m in missing))
    return faults


def main():
    root = pathlib.Path(sys.argv[1])
    levels = read_layers(root / "src")
    faults = include_faults(root / "src", levels) + readme_faults(root, levels)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"{len(levels)} folders, every include reaches down")
    return 0


if __name__ == "__main__":
    sys.exit(main())

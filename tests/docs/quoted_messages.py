#!/usr/bin/env python3
"""Checks that every message docs/making-content.md quotes is still in the code.

The guide's "Limits and errors" section quotes, in the right-hand column of
each of its tables, the fixed parts of the program's messages in code type
(`like this`). Each of them must occur literally in at least one file under
the program's source folders. Prints every quoted part that occurs nowhere and
exits 1; otherwise prints how many it found and exits 0.

usage: quoted_messages.py SOURCE_DIR [GUIDE]
(GUIDE defaults to SOURCE_DIR/docs/making-content.md)
"""
import os
import re
import sys

SECTION = "Limits and errors"
SOURCE_FOLDERS = ["app", "display", "resources", "fx2d", "scene3d", "render3d", "sync", "platform", "tools"]
CODE_SPAN = re.compile(r"`([^`]+)`")


def section_lines(text, title):
    """The lines of the level-2 section `title`, up to the next heading of level 1 or 2."""
    lines, inside, in_code_block = [], False, False
    for line in text.splitlines():
        if line.startswith("```"):
            in_code_block = not in_code_block
        if not in_code_block and (line.startswith("# ") or line.startswith("## ")):
            if inside:
                break
            inside = line[3:].strip() == title
            continue
        if inside:
            lines.append(line)
    return lines


def quoted_messages(lines):
    """The code spans in the last cell of every table row, in order, each once."""
    found = []
    for line in lines:
        row = line.strip()
        if not row.startswith("|"):
            continue
        cells = [cell.strip() for cell in row.strip("|").split("|")]
        if all(set(cell) <= set("-: ") for cell in cells):
            continue  # the line under a table's header
        for message in CODE_SPAN.findall(cells[-1]):
            if message not in found:
                found.append(message)
    return found


def source_texts(root):
    for folder in SOURCE_FOLDERS:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                with open(os.path.join(directory, name), "rb") as f:
                    yield f.read().decode("utf-8", errors="replace")


def main(argv):
    if len(argv) not in (2, 3):
        print("usage: quoted_messages.py SOURCE_DIR [GUIDE]")
        return 2
    root = argv[1]
    guide = argv[2] if len(argv) == 3 else os.path.join(root, "docs", "making-content.md")
    with open(guide, encoding="utf-8") as f:
        messages = quoted_messages(section_lines(f.read(), SECTION))
    if not messages:
        print(f"{guide}: no quoted messages found in the tables of \"{SECTION}\"")
        return 1
    texts = list(source_texts(root))
    missing = [m for m in messages if not any(m in text for text in texts)]
    for message in missing:
        print(f"{guide}: quoted message not found in the source: `{message}`")
    if missing:
        print(f"{len(missing)} of {len(messages)} quoted messages are missing")
        return 1
    print(f"all {len(messages)} quoted messages of \"{SECTION}\" occur in the source")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

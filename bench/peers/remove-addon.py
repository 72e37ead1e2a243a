"""Removes an add-on's blocks from Launch.local as Brelmont's uninstall does, and replaces the file
flushed to disk: lines end at CR and lose their LFs, the loader's first line names the add-on,
blocks run from a line holding the identity key to the next "/ [EOA]", other non-empty lines are
kept with CR LF, and a leading UTF-8 byte-order mark stays first.

    python3 remove-addon.py Sample.local Launch.local
"""

import os
import sys

BOM = b"\xef\xbb\xbf"
END_OF_ADDON = b"/ [EOA]"


def cut_reg_id(line):
    """(name, revision) of a RegID line "[Name-Rev]", or None when it does not cut."""
    reg_id = line.strip(b" ")
    p1, p2, p3 = (reg_id.find(c) + 1 for c in (b"[", b"-", b"]"))
    if p2 - p1 - 1 <= 0 or p3 - p2 - 1 < 0:
        return None
    return reg_id[p1 : p2 - 1], reg_id[p2 : p3 - 1]


def is_reg_id_line_of(line, name):
    if name not in line:
        return False
    cut = cut_reg_id(line)
    return cut is not None and cut[0] == name


def remove(loader_path, launch_path):
    with open(loader_path, "rb") as loader:
        first = loader.read()
    first = first[len(BOM) :] if first.startswith(BOM) else first
    cut = cut_reg_id(first.split(b"\r", 1)[0].replace(b"\n", b""))
    if cut is None:
        sys.exit("the loader's first line names no add-on")
    name, key = cut[0], cut[0] + b"-" + cut[1]

    with open(launch_path, "rb") as launch:
        text = launch.read()
    bom = BOM if text.startswith(BOM) else b""
    kept = [bom]
    in_block = False
    for line in text[len(bom) :].split(b"\r"):
        line = line.replace(b"\n", b"")
        if is_reg_id_line_of(line, name) and key in line:
            in_block = True
        elif in_block:
            in_block = END_OF_ADDON not in line
        elif line:
            kept.append(line)
            kept.append(b"\r\n")
    rewritten = b"".join(kept).rstrip(b"\r\n") + b"\r\n"

    directory = os.path.dirname(os.path.abspath(launch_path))
    temporary = os.path.join(directory, "." + os.path.basename(launch_path) + ".peer")
    with open(temporary, "wb") as out:
        out.write(rewritten)
        out.flush()
        os.fsync(out.fileno())
    os.replace(temporary, launch_path)
    directory_fd = os.open(directory, os.O_RDONLY)
    try:
        os.fsync(directory_fd)
    finally:
        os.close(directory_fd)


if __name__ == "__main__":
    remove(sys.argv[1], sys.argv[2])

#!/usr/bin/env python3
"""Turns a UTF-8 text file with LF line ends into the suite's file form: UTF-16LE with a byte-order mark and
CR LF line ends. Used by the build for the default files the agent embeds and the tests read.

usage: utf16_text.py IN OUT
"""
import os
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as handle:
        text = handle.read()
    if "\r" in text:
        sys.exit(f"{source}: carriage returns in the template; line ends are added here")
    data = b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")
    # Write, then replace: an interrupted build never leaves a cut file for the resource compiler.
    temporary = target + ".tmp"
    with open(temporary, "wb") as handle:
        handle.write(data)
    os.replace(temporary, target)


if __name__ == "__main__":
    main()

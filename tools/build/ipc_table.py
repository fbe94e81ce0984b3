#!/usr/bin/env python3
"""Writes the suite's shared names and numbers as a Python module, read from the C++ headers that define them, so
that the test scripts and tools never retype a message number, record size or window class.

usage: ipc_table.py OUT.py HEADER...

Beside OUT.py it writes OUT.sh, the same constants as shell variables for the scripts.

Each header line of the form `inline constexpr <integer type> kName = <expr>;` (expr: a number, a name defined
before, or `name + number`), `inline constexpr char16_t kName[] = u"text";`, or an enumerator `Name = number,`
of `enum class Name` becomes a module constant of the same name (enumerators as `Enum_Name`). A constexpr line
that does not fit stops the build, so the table can never lag behind the headers.
"""
import os
import re
import shlex
import sys

INTEGER = re.compile(r"^\s*(?:inline)\s+constexpr\s+(?:u?int\d+_t|size_t|int)\s+(k\w+)\s*=\s*([^;]+);")
TEXT = re.compile(r'^\s*(?:inline)\s+constexpr\s+char16_t\s+(k\w+)\[\]\s*=\s*u"((?:[^"\\]|\\.)*)";')
ENUM = re.compile(r"^\s*enum\s+class\s+(\w+)")
ENUMERATOR = re.compile(r"^\s*(\w+)\s*=\s*(\w+),?")
CONSTEXPR = re.compile(r"^\s*(?:inline)\s+constexpr\b")


def evaluate(expr, known, where):
    total = 0
    for term in expr.split("+"):
        term = term.strip()
        if re.fullmatch(r"0[xX][0-9a-fA-F]+|\d+", term):
            total += int(term, 0)
        elif term in known and isinstance(known[term], int):
            total += known[term]
        else:
            sys.exit(f"{where}: cannot evaluate '{expr}'")
    return total


def read_header(path, known):
    enum = None
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            where = f"{path}:{number}"
            line = line.split("//")[0]
            if enum:
                if "}" in line:
                    enum = None
                    continue
                match = ENUMERATOR.match(line)
                if match:
                    known[f"{enum}_{match.group(1)}"] = evaluate(match.group(2), known, where)
                continue
            match = ENUM.match(line)
            if match:
                enum = match.group(1)
                continue
            match = INTEGER.match(line)
            if match:
                known[match.group(1)] = evaluate(match.group(2), known, where)
                continue
            match = TEXT.match(line)
            if match:
                text = match.group(2)
                if "\\" in text:
                    sys.exit(f"{where}: escapes are not read here")
                known[match.group(1)] = text
                continue
            if CONSTEXPR.match(line) and "(" not in line:
                sys.exit(f"{where}: a constant this table cannot read")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__.strip().splitlines()[3])
    target, headers = sys.argv[1], sys.argv[2:]
    known = {}
    for header in headers:
        read_header(header, known)
    lines = ['"""The suite\'s names and numbers, written by the build from the C++ headers; do not edit."""', ""]
    lines += [f"{name} = {value!r}" for name, value in known.items()]
    write(target, "\n".join(lines) + "\n")
    shell = ["# The suite's names and numbers, written by the build from the C++ headers; do not edit."]
    shell += [f"{name}={shlex.quote(str(value))}" for name, value in known.items()]
    write(os.path.splitext(target)[0] + ".sh", "\n".join(shell) + "\n")


def write(target, text):
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    temp = target + ".tmp"
    with open(temp, "w", encoding="utf-8") as handle:
        handle.write(text)
    os.replace(temp, target)


if __name__ == "__main__":
    main()

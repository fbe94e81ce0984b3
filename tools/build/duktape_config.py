#!/usr/bin/env python3
"""Copies Debian's amalgamated Duktape (duktape.c, duktape.h, duk_config.h) into a build tree and switches on the
execution timeout check there. Debian's duk_config.h #undefs DUK_USE_EXEC_TIMEOUT_CHECK and
DUK_USE_INTERRUPT_COUNTER after every user hook, so no include order or -D flag can turn them on: the copy is
edited instead. The check calls kelvo_duk_exec_timeout_check (cmake/duktape/DuktapeBudget.c) with the heap's
user data.

usage: duktape_config.py SOURCE_DIR TARGET_DIR
"""
import os
import sys

SWITCHES = {
    "#undef DUK_USE_INTERRUPT_COUNTER\n": "#define DUK_USE_INTERRUPT_COUNTER\n",
    "#undef DUK_USE_EXEC_TIMEOUT_CHECK\n": (
        "#if defined(__cplusplus)\nextern \"C\" {\n#endif\n"
        "int kelvo_duk_exec_timeout_check(void *udata);\n"
        "#if defined(__cplusplus)\n}\n#endif\n"
        "#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) kelvo_duk_exec_timeout_check((udata))\n"
    ),
}


def write_if_changed(path, data):
    # An unchanged copy keeps its time stamp, so a re-configure does not rebuild the engine.
    if os.path.exists(path):
        with open(path, "rb") as handle:
            if handle.read() == data:
                return
    temporary = path + ".tmp"
    with open(temporary, "wb") as handle:
        handle.write(data)
    os.replace(temporary, path)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    for name in ("duktape.c", "duktape.h"):
        with open(os.path.join(source, name), "rb") as handle:
            write_if_changed(os.path.join(target, name), handle.read())
    with open(os.path.join(source, "duk_config.h"), encoding="utf-8") as handle:
        config = handle.read()
    for old, new in SWITCHES.items():
        if config.count(old) != 1:
            sys.exit(f"{source}/duk_config.h: expected one line {old.strip()!r}; the Duktape package changed")
        config = config.replace(old, new)
    write_if_changed(os.path.join(target, "duk_config.h"), config.encode("utf-8"))


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# A program imports no DLL beyond the ones it is allowed: test_imports.sh OBJDUMP EXE DLL... (names compared
# ignoring case). Catches a link line that drags a library into a program that must run without it, such as
# WinINet into the drive-root starter.
set -euo pipefail
objdump=${1:?objdump}
exe=${2:?program}
shift 2
allowed=$(printf '%s\n' "$@" | tr '[:upper:]' '[:lower:]')
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ -n "$imports" ] || { echo "no imports read from $exe"; exit 1; }
extra=$(comm -23 <(sort -u <<<"$imports") <(sort -u <<<"$allowed") | tr "\n" " ")
if [ -n "$extra" ]; then
    echo "$(basename "$exe") imports more than it may: $extra"
    exit 1
fi
echo "$(basename "$exe") imports: $(tr '\n' ' ' <<<"$imports")"

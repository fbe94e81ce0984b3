# Shared settings of the project's scripts; sourced, never run.
KELVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KELVO_BUILD="$KELVO_ROOT/build"
KELVO_OUT="$KELVO_ROOT/out"
PY=/usr/bin/python3

# Local store ports (test and demo builds bake them into the store host settings).
: "${KELVO_HTTP_PORT:=18080}"
: "${KELVO_FTP_PORT:=18021}"
# The suite's names and numbers (window classes, program and file names, message numbers), written by the build
# from the C++ headers; load_ids makes them shell variables (kAgentClass, kMsgButtonNotice, ...) once built.
KELVO_IDS="${KELVO_IDS:-$KELVO_BUILD/win/generated/python/kelvo_ids.sh}"
load_ids() {
    [ -f "$KELVO_IDS" ] || die "build first: $KELVO_IDS is missing"
    # shellcheck source=/dev/null
    source "$KELVO_IDS"
}

# The screen of the test and demo runs: the Xvfb display and Wine's virtual desktop on it (tools/wineprefix.sh).
export KELVO_SCREEN_SIZE=1280x1024

export WINEPREFIX="$KELVO_BUILD/wineprefix"
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LOCPATH="$KELVO_BUILD/locale"
# Wine runs under the Korean locale so programs see code page 949, as on a Korean Windows.
if [ -f "$LOCPATH/ko_KR.UTF-8/LC_CTYPE" ]; then
    { export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8; } 2>/dev/null  # bash itself needs no Korean locale
fi
: "${WINEDEBUG:=-all}"
export WINEDEBUG

log() { printf '[kelvo] %s\n' "$*" >&2; }
die() { printf '[kelvo] error: %s\n' "$*" >&2; exit 1; }

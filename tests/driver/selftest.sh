#!/bin/bash
# Self-test of kdrive against kdrive_target and its own peer, under Wine on an X display (an Xvfb of its own when
# DISPLAY is unset). Usage: selftest.sh BIN_DIR   (the folder holding kdrive.exe and kdrive_target.exe)
set -u

BIN=$(cd "${1:?usage: selftest.sh BIN_DIR}" && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
: "${WINEPREFIX:=$(cd "$(dirname "$0")/../.." && pwd)/build/wineprefix}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG WINEARCH=win64
# Wine converts arguments with the Unix charset; the Korean ones below need UTF-8.
case "${LC_ALL:-${LANG:-}}" in
    *UTF-8* | *utf8*) ;;
    *) export LC_ALL=C.UTF-8 ;;
esac
PY=/usr/bin/python3
# The suite's names (the stand-in agent's class and file), as the build wrote them from the C++ headers.
# shellcheck source=/dev/null
source "$BIN/../generated/python/kelvo_ids.sh"

WORK=$(mktemp -d /tmp/kdrive-selftest.XXXXXX)
WIN_WORK="Z:${WORK//\//\\}"
FAILURES=0
trap 'wine "$BIN/kdrive.exe" post --class KDriveTarget --msg 16 >/dev/null 2>&1; rm -rf "$WORK"' EXIT

kd() { wine "$BIN/kdrive.exe" "$@"; }
fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}
expect_rc() {  # expect_rc WANT what cmd...
    local want=$1 what=$2
    shift 2
    "$@" >"$WORK/out" 2>"$WORK/err"
    local rc=$?
    [ "$rc" = "$want" ] || fail "$what: exit $rc, want $want ($(cat "$WORK/err"))"
}
# Waits up to 10 s for a line matching the pattern (grep -E) in the file.
wait_line() {
    local file=$1 pattern=$2
    for _ in $(seq 200); do
        grep -qE -- "$pattern" "$file" 2>/dev/null && return 0
        sleep 0.05
    done
    fail "no line /$pattern/ in $(basename "$file"): $(tr '\n' '|' <"$file" 2>/dev/null)"
    return 1
}

# Leftovers of an earlier run would be found instead of this run's windows.
for class in KDrivePeer "$kAgentClass" KDriveTarget '#32770'; do
    if kd find --class "$class" >/dev/null 2>&1; then
        echo "a window of class $class already exists on this display; end it first" >&2
        exit 1
    fi
done

# --- Peer, messages and WM_COPYDATA -------------------------------------------------------------------------
wine "$BIN/kdrive.exe" peer --class KDrivePeer --log "$WIN_WORK\\peer.log" --ready "$WIN_WORK\\ready" \
    --exit-on 0x8123 --reply 77 &
for _ in $(seq 200); do [ -s "$WORK/ready" ] && break; sleep 0.05; done
[ -s "$WORK/ready" ] || fail "peer wrote no ready file"
expect_rc 0 "find peer" kd find --class KDrivePeer
[ "$(cat "$WORK/out")" = "$(cat "$WORK/ready" | tr -d '\r')" ] || fail "find printed $(cat "$WORK/out"), ready has $(cat "$WORK/ready")"
expect_rc 1 "find with a wrong title" kd find --class KDrivePeer --title other
expect_rc 1 "wait --visible for a hidden window" kd wait --class KDrivePeer --visible --timeout-ms 200
expect_rc 0 "send" kd send --class KDrivePeer --msg 0x401 --wparam 7 --lparam -1
[ "$(cat "$WORK/out")" = 77 ] || fail "send printed '$(cat "$WORK/out")', want the peer's reply 77"
wait_line "$WORK/peer.log" '^msg=1025 wparam=7 lparam=-1$'
expect_rc 0 "post" kd post --class KDrivePeer --msg 0x8001 --wparam 0xFFFFFFFF --lparam 0x7FFFFFFF
wait_line "$WORK/peer.log" '^msg=32769 wparam=4294967295 lparam=2147483647$'
printf 'AB\0\377' >"$WORK/payload"
expect_rc 0 "copydata" kd copydata --class KDrivePeer --kind 3 --file "$WIN_WORK\\payload"
[ "$(cat "$WORK/out")" = 1 ] || fail "copydata printed '$(cat "$WORK/out")', want TRUE"
wait_line "$WORK/peer.log" '^msg=74 wparam=[1-9][0-9]* kind=3 size=4 data=414200ff$'
head -c 300 /dev/urandom >"$WORK/big"
expect_rc 0 "copydata of 300 bytes" kd copydata --class KDrivePeer --kind 4 --file "$WIN_WORK\\big"
wait_line "$WORK/peer.log" "^msg=74 wparam=[0-9]+ kind=4 size=300 data=$(head -c 64 "$WORK/big" | od -An -v -tx1 | tr -d ' \n')\$"
expect_rc 0 "copydata --empty" kd copydata --class KDrivePeer --kind 5 --empty
wait_line "$WORK/peer.log" '^msg=74 wparam=[0-9]+ kind=5 size=0 data=$'
expect_rc 1 "copydata of a missing file" kd copydata --class KDrivePeer --kind 5 --file "$WIN_WORK\\missing"
expect_rc 0 "exit-on message" kd post --class KDrivePeer --msg 0x8123
expect_rc 0 "peer ends after its exit-on message" kd wait-gone --class KDrivePeer --timeout-ms 5000
wait_line "$WORK/peer.log" '^msg=2 '
expect_rc 1 "send to a missing window" kd send --class KDrivePeer --msg 0x400
expect_rc 2 "message number beyond 32 bits" kd post --class X --msg 0x100000000
expect_rc 2 "unknown option" kd find --class X --colour red
expect_rc 2 "unknown command" kd fnd --class X

# --- Stand-in agent mode ----------------------------------------------------------------------------------
mkdir "$WORK/agent" && cp "$BIN/kdrive.exe" "$WORK/agent/$kAgentProgram"
wine "$WORK/agent/$kAgentProgram" &
expect_rc 0 "stand-in agent window" kd wait --class "$kAgentClass" --timeout-ms 10000
expect_rc 0 "send to stand-in agent" kd send --class "$kAgentClass" --msg 0x402 --wparam 1 --lparam 2
expect_rc 0 "close stand-in agent" kd post --class "$kAgentClass" --msg 16
expect_rc 0 "stand-in agent ends" kd wait-gone --class "$kAgentClass" --timeout-ms 5000
[ "$(head -1 "$WORK/agent/standin-agent.log")" = started ] || fail "stand-in log does not start with 'started'"
wait_line "$WORK/agent/standin-agent.log" '^msg=1026 wparam=1 lparam=2$'

# --- Visible window: info, clicks, drags, screenshots ------------------------------------------------------
wine "$BIN/kdrive_target.exe" --log "$WIN_WORK\\target.log" &
expect_rc 0 "target window" kd wait --class KDriveTarget --visible --timeout-ms 10000
wait_line "$WORK/target.log" '^ready$'
expect_rc 0 "info" kd info --class KDriveTarget
grep -qE ' client=400,300 visible=1 .*layered=1 lwa-flags=0x1 lwa-key=255,0,255 .* title=Target$' "$WORK/out" ||
    fail "info: $(cat "$WORK/out")"

expect_rc 0 "real click" kd click --class KDriveTarget --x 50 --y 60
wait_line "$WORK/target.log" '^lup 50,60$' && grep -q '^ldown 50,60$' "$WORK/target.log" || fail "real click: no ldown"
expect_rc 0 "real right click" kd click --class KDriveTarget --x 70 --y 80 --button right
wait_line "$WORK/target.log" '^rup 70,80$'
expect_rc 0 "real click on a child button" kd click --class KDriveTarget --x 240 --y 35
wait_line "$WORK/target.log" '^button 1001$'
: >"$WORK/target.log"
expect_rc 0 "posted click on a child button" kd click --class KDriveTarget --x 240 --y 35 --post
wait_line "$WORK/target.log" '^button 1001$'
expect_rc 0 "posted click" kd click --class KDriveTarget --x 11 --y 12 --post
wait_line "$WORK/target.log" '^lup 11,12$'
expect_rc 1 "real click off the window" kd click --class KDriveTarget --x -60 --y 10
expect_rc 0 "real drag" kd drag --class KDriveTarget --from 10,10 --to 110,60 --steps 4
wait_line "$WORK/target.log" '^lup 110,60$' && grep -q '^drag 60,35$' "$WORK/target.log" || fail "real drag: no middle step"
: >"$WORK/target.log"
expect_rc 0 "posted drag" kd drag --class KDriveTarget --from 110,60 --to 10,10 --steps 2 --post
wait_line "$WORK/target.log" '^lup 10,10$' && grep -q '^drag 60,35$' "$WORK/target.log" || fail "posted drag: no middle step"

expect_rc 0 "window shot" kd shot --out "$WIN_WORK\\window.png" --class KDriveTarget
expect_rc 0 "screen shot" kd shot --out "$WIN_WORK\\screen.png"
# The window shot must show the painted squares where the client area is; the screen shot must equal the X server's
# own picture of the root window, pixel for pixel (nothing moves in between).
import -display "$DISPLAY" -window root "$WORK/root.png" 2>/dev/null || fail "ImageMagick import failed"
$PY - "$WORK" "$(cat "$WORK/out")" <<'PYEOF' || fail "screenshot content"
import sys
from PIL import Image
work = sys.argv[1]
for name in ("window.png", "screen.png"):
    Image.open(f"{work}/{name}").verify()
win = Image.open(f"{work}/window.png").convert("RGB")
assert win.mode == "RGB"
border_x = (win.width - 400) // 2
border_y = win.height - 300 - border_x
px = lambda x, y: win.getpixel((border_x + x, border_y + y))
assert px(70, 70) == (255, 0, 0), px(70, 70)
assert px(200, 150) == (0, 128, 255), px(200, 150)
assert px(340, 240) != (255, 0, 255), "colour key not applied"
screen = Image.open(f"{work}/screen.png")
root = Image.open(f"{work}/root.png").convert("RGB")
# Wine takes the screen size from the display its wineserver started on, so a persistent wineserver left from a run
# on another display shows up here as a size mismatch.
assert screen.size == root.size, f"Wine's screen is {screen.size}, this display's {root.size}: wineserver of another display?"
assert screen.tobytes() == root.tobytes(), "screen shot differs from the X root window"
PYEOF
expect_rc 0 "close target" kd post --class KDriveTarget --msg 16
expect_rc 0 "target ends" kd wait-gone --class KDriveTarget

# --- Message box: Korean text and buttons ------------------------------------------------------------------
wine "$BIN/kdrive_target.exe" --log "$WIN_WORK\\box.log" --msgbox $'설정을 저장할까요?\n두 번째 줄' &
expect_rc 0 "message box" kd wait --class '#32770' --title kdrive --visible --timeout-ms 10000
expect_rc 0 "dialog-text" kd dialog-text --class '#32770' --title kdrive
[ "$(cat "$WORK/out")" = '설정을 저장할까요?\n두 번째 줄' ] || fail "dialog-text printed '$(cat "$WORK/out")'"
expect_rc 1 "press a missing control" kd press --class '#32770' --title kdrive --id 4321
expect_rc 0 "press Cancel" kd press --class '#32770' --title kdrive --id 2
wait_line "$WORK/box.log" '^msgbox 2$'
wine "$BIN/kdrive_target.exe" --log "$WIN_WORK\\box2.log" --msgbox 'again' &
expect_rc 0 "second message box" kd wait --class '#32770' --title kdrive --visible --timeout-ms 10000
expect_rc 0 "press OK by BM_CLICK" kd press --class '#32770' --title kdrive --id 1 --bm-click
wait_line "$WORK/box2.log" '^msgbox 1$'

wait
if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed" >&2
    exit 1
fi
echo "kdrive self-test passed"

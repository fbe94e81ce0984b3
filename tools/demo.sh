#!/usr/bin/env bash
# Sets up, builds, lays out the drive image and runs the suite from it under Wine: on the user's display when
# DISPLAY is set, otherwise under Xvfb, writing screenshots to out/screens/.
set -euo pipefail
source "$(dirname "$0")/env.sh"
source "$(dirname "$0")/session.sh"

"$KELVO_ROOT/tools/setup.sh"
source "$KELVO_ROOT/tools/env.sh"
"$KELVO_ROOT/tools/wineprefix.sh"
"$KELVO_ROOT/tools/build.sh" all
"$KELVO_ROOT/tools/drive.sh" "$KELVO_OUT/drive"

# Until the agent writes its default files, the demo drive gets a sample environment of three pages.
[ -f "$KELVO_OUT/drive/$KELVO_SUITE_DIR/TolvEnv.xml" ] ||
    "$PY" "$KELVO_ROOT/tests/e2e/sample_env.py" K: >"$KELVO_OUT/drive/$KELVO_SUITE_DIR/TolvEnv.xml"

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
demo_logs="$KELVO_OUT/demo"
mkdir -p "$demo_logs" "$KELVO_OUT/screens"

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$KELVO_ROOT/tools/store/store.sh" stop >/dev/null 2>&1 || true
    stop_wineserver
    stop_xvfb
}
trap cleanup EXIT
[ $headless -eq 1 ] && start_xvfb
start_wineserver
"$KELVO_ROOT/tools/store/store.sh" start

kdrive="$KELVO_BUILD/win/bin/kdrive.exe"
drive_kdrive() { WINEDEBUG=-all wine "$kdrive" "$@"; }

# The agent is not part of the suite yet: a stand-in window of its class receives the launcher's messages.
agent_log="$demo_logs/agent-messages.log"
: >"$agent_log"
wine "$kdrive" peer --class Marlo --log "Z:${agent_log//\//\\}" --exit-on 2032 >"$demo_logs/standin-agent.log" 2>&1 &
pids+=($!)
drive_kdrive wait --class Marlo --timeout-ms 15000 >/dev/null

log "starting K:\\$KELVO_SUITE_DIR\\Tolv.exe"
WINEDEBUG=warn+seh wine "K:\\$KELVO_SUITE_DIR\\Tolv.exe" >"$demo_logs/Tolv.log" 2>&1 &
launcher=$!
pids+=($launcher)
drive_kdrive wait --class TolvApp --title TolvApp --visible --timeout-ms 20000 >/dev/null

if [ $headless -eq 1 ]; then
    drive_kdrive shot --out "Z:${KELVO_OUT//\//\\}\\screens\\demo-desktop.png"
    drive_kdrive shot --class TolvApp --out "Z:${KELVO_OUT//\//\\}\\screens\\demo-launcher.png"
    # A swipe to the second page, with real mouse input.
    drive_kdrive drag --class TolvApp --from 280,260 --to 40,260 --steps 8
    sleep 1
    drive_kdrive shot --class TolvApp --out "Z:${KELVO_OUT//\//\\}\\screens\\demo-launcher-page2.png"
    log "screenshots in $KELVO_OUT/screens"
    # The exit button's notice goes to the agent, which then ends the launcher.
    drive_kdrive post --class TolvApp --msg 32769 --wparam 112 --lparam 0
    drive_kdrive wait-gone --class Marlo --timeout-ms 10000
    drive_kdrive send --class TolvApp --msg 2 --wparam 0 --lparam 0 >/dev/null || true
    wait "$launcher" || true
    log "demo finished; agent messages: $(tr '\n' ' ' <"$agent_log")"
else
    log "the suite runs on $DISPLAY; press Ctrl+C to end it"
    wait "$launcher" || true
fi

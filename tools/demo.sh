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
load_ids

# Every demo starts from the same drive: a sample environment of three pages, and the store's package not yet
# installed (the demo installs it).
"$PY" "$KELVO_ROOT/tests/e2e/sample_env.py" K: >"$KELVO_OUT/drive/$kSuiteFolder/$kEnvironmentFile"
rm -rf "$KELVO_OUT/drive/$kPackagesFolder/한글메모장"

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
shots="Z:${KELVO_OUT//\//\\}\\screens"

# The demo user's store login, as the agent reads it at start.
"$KELVO_ROOT/tools/credentials.sh" demo 'demo&1234' "$KELVO_OUT/drive" >/dev/null

# As a user starts the suite: Start.exe at the drive root starts the agent, which starts the launcher.
log "starting K:\\$kStarterProgram"
WINEDEBUG=warn+seh wine "K:\\$kStarterProgram" >"$demo_logs/Start.log" 2>&1 &
pids+=($!)
drive_kdrive wait --class "$kAgentClass" --timeout-ms 20000 >/dev/null
drive_kdrive wait --class "$kLauncherClass" --title "$kLauncherTitle" --visible --timeout-ms 30000 >/dev/null

if [ $headless -eq 1 ]; then
    sleep 1
    drive_kdrive shot --out "$shots\\demo-desktop.png"
    drive_kdrive shot --class "$kLauncherClass" --out "$shots\\demo-launcher.png"
    # A swipe to the second page, with real mouse input.
    drive_kdrive drag --class "$kLauncherClass" --from 280,260 --to 40,260 --steps 8
    sleep 1
    drive_kdrive shot --class "$kLauncherClass" --out "$shots\\demo-launcher-page2.png"
    # The store button opens the store page in the agent; its first button installs a package from the local
    # store, which the launcher shows while it arrives.
    drive_kdrive click --class "$kLauncherClass" --x 57 --y 78
    drive_kdrive wait --class '#32770' --title "$kStoreName" --visible --timeout-ms 20000 >/dev/null
    sleep 1
    drive_kdrive shot --out "$shots\\demo-store.png"
    drive_kdrive click --class '#32770' --title "$kStoreName" --x 4 --y 4
    drive_kdrive keys --vk 9
    drive_kdrive keys --vk 13
    for _ in $(seq 60); do
        [ -f "$KELVO_OUT/drive/$kPackagesFolder/한글메모장/$kProfileFile" ] && break
        sleep 1
    done
    sleep 2
    drive_kdrive click --class '#32770' --title "$kStoreName" --x 4 --y 4
    drive_kdrive keys --vk 27
    drive_kdrive wait-gone --class '#32770' --title "$kStoreName" --timeout-ms 10000
    drive_kdrive shot --class "$kLauncherClass" --out "$shots\\demo-launcher-installed.png"
    log "screenshots in $KELVO_OUT/screens"
    # The exit button asks the agent to shut the suite down; the agent asks the user first.
    drive_kdrive post --class "$kLauncherClass" --msg "$kMsgButtonNotice" --wparam "$kIdExitButton" --lparam 0
    drive_kdrive wait --class '#32770' --title '정보' --visible --timeout-ms 10000 >/dev/null
    drive_kdrive shot --out "$shots\\demo-exit-question.png"
    drive_kdrive press --class '#32770' --title '정보' --id 6
    drive_kdrive wait-gone --class "$kAgentClass" --timeout-ms 20000
    drive_kdrive wait-gone --class "$kLauncherClass" --timeout-ms 20000
    log "demo finished: the agent and the launcher have ended"
else
    log "the suite runs on $DISPLAY; end it with the launcher's exit button or the tray menu"
    while drive_kdrive find --class "$kAgentClass" >/dev/null 2>&1; do sleep 2; done
fi

# Display and Wine server for a batch of runs; sourced by the test and demo scripts.

KELVO_XVFB_PID=""

# Starts a private Xvfb of the project's screen size (24-bit) and exports DISPLAY.
start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${KELVO_SCREEN_SIZE}x24" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    KELVO_XVFB_PID=$!
    local display
    read -r -t 15 display <"$fifo" || die "Xvfb did not start"
    rm -f "$fifo"
    export DISPLAY=":$display"
    log "Xvfb on $DISPLAY"
}

stop_xvfb() {
    if [ -n "$KELVO_XVFB_PID" ]; then
        kill "$KELVO_XVFB_PID" 2>/dev/null || true
        wait "$KELVO_XVFB_PID" 2>/dev/null || true
        KELVO_XVFB_PID=""
    fi
}

# A persistent Wine server makes each program start in a fraction of the time.
start_wineserver() {
    # The old server must be gone before the new one starts, or its desktop (and screen size) lives on.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1
    # Wine's service processes start with the first program and inherit its output; start them here with
    # output discarded, or a test runner reading a test's output would wait for them forever.
    wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

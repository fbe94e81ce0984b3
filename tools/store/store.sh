#!/bin/bash
# Start, stop or query the local Storvia store (HTTP + FTP on 127.0.0.1).
#
#   tools/store/store.sh start|stop|status|restart
#   tools/store/store.sh publish SOURCE_FOLDER STORE_ROOT NAME [--dir STORE_DIR]   (see publish.py)
#   tools/store/store.sh publish-suite RELEASE_ZIP STORE_ROOT                     (see publish_suite.py)
#   tools/store/store.sh serve STORE_ROOT [--http-port N] [--ftp-port N] [--listen ADDRESS]   (see serve.sh)
#
# Ports: KELVO_HTTP_PORT (default 18080), KELVO_FTP_PORT (default 18021).
# Logs, pid file and the server's own output go to out/store/ of the repo.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
PY=/usr/bin/python3
HTTP_PORT=${KELVO_HTTP_PORT:-18080}
FTP_PORT=${KELVO_FTP_PORT:-18021}
STATE="$ROOT/out/store"
# The store's content: the generated packages when the Windows tree has been built, else the small test root.
CONTENT="${KELVO_STORE_ROOT:-$ROOT/build/store-content}"
[ -d "$CONTENT" ] || CONTENT="$HERE/content"
PID_FILE="$STATE/store.pid"
OUT="$STATE/store.out"
DEADLINE=10

say() { printf '[store] %s\n' "$*"; }
die() { printf '[store] error: %s\n' "$*" >&2; exit 1; }

# Pid of the running store, or nothing (and a stale pid file removed).
running_pid() {
    local pid
    [ -f "$PID_FILE" ] || return 0
    pid=$(cat "$PID_FILE" 2>/dev/null || true)
    if [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null \
        && grep -q store.py "/proc/$pid/cmdline" 2>/dev/null; then
        echo "$pid"
    else
        rm -f "$PID_FILE"
    fi
}

urls() {
    say "web: http://127.0.0.1:$HTTP_PORT/"
    say "ftp: ftp://127.0.0.1:$FTP_PORT/ (user mvtrloze)"
    say "logs: $STATE/http.log $STATE/ftp.log"
}

start() {
    local pid
    pid=$(running_pid)
    if [ -n "$pid" ]; then
        say "already running (pid $pid)"
        return 0
    fi
    mkdir -p "$STATE"
    rm -f "$PID_FILE"
    "$PY" "$HERE/store.py" --http-port "$HTTP_PORT" --ftp-port "$FTP_PORT" --root "$CONTENT" \
        --log-dir "$STATE" --pid-file "$PID_FILE" >"$OUT" 2>&1 </dev/null &
    pid=$!
    local end=$((SECONDS + DEADLINE))
    until [ -f "$PID_FILE" ] && grep -q '^ready' "$OUT"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || true
            cat "$OUT" >&2
            die "store did not start"
        fi
        if [ "$SECONDS" -ge "$end" ]; then
            kill "$pid" 2>/dev/null || true
            cat "$OUT" >&2
            die "store not ready after ${DEADLINE}s"
        fi
        sleep 0.1
    done
    say "started (pid $pid)"
    urls
}

stop() {
    local pid
    pid=$(running_pid)
    if [ -z "$pid" ]; then
        say "not running"
        return 0
    fi
    kill -TERM "$pid"
    local end=$((SECONDS + DEADLINE))
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$SECONDS" -ge "$end" ]; then
            kill -KILL "$pid" 2>/dev/null || true
            say "did not stop on SIGTERM; killed (pid $pid)"
            break
        fi
        sleep 0.1
    done
    rm -f "$PID_FILE"
    say "stopped (pid $pid)"
}

status() {
    local pid
    pid=$(running_pid)
    if [ -n "$pid" ]; then
        say "running (pid $pid)"
        urls
    else
        say "not running"
        return 3
    fi
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    status) status ;;
    restart) stop; start ;;
    publish) shift; exec "$PY" "$HERE/publish.py" "$@" ;;
    publish-suite) shift; exec "$PY" "$HERE/publish_suite.py" "$@" ;;
    serve) shift; exec "$HERE/serve.sh" "$@" ;;
    *) echo "usage: $0 start|stop|status|restart|publish SOURCE_FOLDER STORE_ROOT NAME [--dir STORE_DIR]|publish-suite RELEASE_ZIP STORE_ROOT|serve STORE_ROOT [...]" >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Runs the DOM wrapper's network tests under Wine against a local HTTP server that logs every request.
#   run_with_store.sh <tests.exe> [gtest arguments...]
# Uses WINEPREFIX and the rest of the Wine environment as given.
set -euo pipefail
exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
store="$here/../../../tools/store/store.py"

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-dom-store.XXXXXX")
store_pid=
cleanup() {
    if [ -n "$store_pid" ]; then
        kill "$store_pid" 2>/dev/null || true
        wait "$store_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/root" "$work/log"
# Something to answer with, so that a fetch that does happen shows as a 200 in the log.
echo 'fetched' >"$work/root/evil.txt"
echo '<!ENTITY x "fetched">' >"$work/root/evil.dtd"
echo '<!ENTITY x "fetched">' >"$work/root/evil-pe.dtd"
for probe in control-before control-after; do
    echo "<probe>$probe</probe>" >"$work/root/$probe.xml"
done

free_port() {
    /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# A port can be taken between the check and the bind; the store exits 3 then, so try again.
for attempt in 1 2 3 4 5; do
    http_port=$(free_port)
    ftp_port=$(free_port)
    /usr/bin/python3 "$store" --http-port "$http_port" --ftp-port "$ftp_port" --root "$work/root" \
        --log-dir "$work/log" --pid-file "$work/store.pid" >"$work/store.out" 2>&1 &
    store_pid=$!
    for _ in $(seq 100); do
        grep -q '^ready' "$work/store.out" 2>/dev/null && break
        kill -0 "$store_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^ready' "$work/store.out" && break
    wait "$store_pid" 2>/dev/null || true
    store_pid=
done
[ -n "$store_pid" ] || { echo "local HTTP server did not start:" >&2; cat "$work/store.out" >&2; exit 1; }

# Under Wine the Unix root is drive Z:.
export KELVO_DOM_HTTP_PORT=$http_port
export KELVO_DOM_HTTP_LOG="Z:${work//\//\\}\\log\\http.log"
status=0
wine "$exe" "$@" || status=$?
echo "--- requests seen by the local HTTP server:"
cat "$work/log/http.log" 2>/dev/null || true
exit $status

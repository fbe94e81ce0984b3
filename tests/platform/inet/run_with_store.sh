#!/usr/bin/env bash
# Runs the store transfer tests under Wine against a local store (HTTP and active-mode FTP) on free ports,
# with content made here: a profile, a nested file with a Korean name, an empty file.
#   run_with_store.sh <tests.exe> [gtest arguments...]
set -euo pipefail
exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
store="$here/../../../tools/store/store.py"
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-inet-store.XXXXXX")
store_pid=
cleanup() {
    [ -z "$store_pid" ] || { kill "$store_pid" 2>/dev/null || true; wait "$store_pid" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/root/apps/memo" "$work/root/pub/메모장/도움말" "$work/log"
printf '<?xml version="1.0"?>\n<PROFILE><HEAD><VERSION>1.0</VERSION></HEAD></PROFILE>\n' >"$work/root/apps/memo/Profile.xml"
/usr/bin/python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 300)' >"$work/root/pub/메모장/도움말/한글 파일.bin"
: >"$work/root/pub/empty.bin"
printf abcde >"$work/root/pub/메모장/한글.bin"

free_port() {
    /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
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
[ -n "$store_pid" ] || { echo "local store did not start:" >&2; cat "$work/store.out" >&2; exit 1; }

export KELVO_STORE_HTTP="127.0.0.1:$http_port" KELVO_STORE_FTP="127.0.0.1:$ftp_port"
export KELVO_STORE_ROOT="Z:${work//\//\\}\\root" KELVO_STORE_TEMP="Z:${work//\//\\}"
export KELVO_STORE_LOG="Z:${work//\//\\}\\log\\http.log"
# A port where nothing listens, for the refused connection.
export KELVO_STORE_CLOSED="127.0.0.1:$(free_port)"
status=0
wine "$exe" "$@" || status=$?
echo "--- FTP commands seen by the local store:"
grep -E '<- (LIST|RETR)' "$work/log/ftp.log" 2>/dev/null | tail -n 20 || true
exit $status

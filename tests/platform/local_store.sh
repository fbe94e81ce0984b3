# Starts the local store on free ports for a Windows-side test run; sourced by the run_with_store scripts.
# start_local_store ROOT WORK sets http_port, ftp_port and store_pid (logs in WORK/log); stop_local_store ends it.

local_store_py="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/store/store.py"

free_port() {
    /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

start_local_store() {
    local root=$1 work=$2
    mkdir -p "$work/log"
    store_pid=
    # A port can be taken between the check and the bind; the store exits 3 then, so try again.
    for _ in 1 2 3 4 5; do
        http_port=$(free_port)
        ftp_port=$(free_port)
        /usr/bin/python3 "$local_store_py" --http-port "$http_port" --ftp-port "$ftp_port" --root "$root" \
            --log-dir "$work/log" --pid-file "$work/store.pid" >"$work/store.out" 2>&1 &
        store_pid=$!
        for _ in $(seq 100); do
            grep -q '^ready' "$work/store.out" 2>/dev/null && break
            kill -0 "$store_pid" 2>/dev/null || break
            sleep 0.1
        done
        grep -q '^ready' "$work/store.out" && return 0
        wait "$store_pid" 2>/dev/null || true
        store_pid=
    done
    echo "local store did not start:" >&2
    cat "$work/store.out" >&2
    return 1
}

stop_local_store() {
    [ -z "${store_pid:-}" ] || { kill "$store_pid" 2>/dev/null || true; wait "$store_pid" 2>/dev/null || true; }
}

#!/usr/bin/env bash
# Runs a store for real use: nginx for the web side and vsftpd for FTP (tools/store/stock/stock.sh) on a published
# store root, until Ctrl+C or SIGTERM, then stops both and removes what they were given.
#
# usage: serve.sh STORE_ROOT [--http-port N] [--ftp-port N] [--listen ADDRESS]
# Standard ports (80 and 21) and every address unless given. The store page STORE_ROOT/index.html is written anew
# from the published packages first. The servers' configurations, pid files and logs lie in STORE_ROOT/.kelvo-store
# (served by neither); the web log masks the password of every request.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../env.sh"

usage() { die "usage: ./kelvo store serve STORE_ROOT [--http-port N] [--ftp-port N] [--listen ADDRESS]"; }

root=${1:-}
[ -n "$root" ] && [ "${root:0:1}" != - ] || usage
shift
http_port=80 ftp_port=21 listen=0.0.0.0
while [ $# -gt 0 ]; do
    case "$1" in
    --http-port) http_port=${2:-}; shift 2 || usage ;;
    --ftp-port) ftp_port=${2:-}; shift 2 || usage ;;
    --listen) listen=${2:-}; shift 2 || usage ;;
    *) usage ;;
    esac
done
for port in "$http_port" "$ftp_port"; do
    [[ "$port" =~ ^[0-9]+$ ]] && [ "$port" -ge 2 ] && [ "$port" -le 65535 ] || die "not a port: '$port'"
done
[ "$http_port" != "$ftp_port" ] || die "the web and FTP ports are the same: $http_port"
[ -d "$root/application" ] || die "$root is not a store root (no application folder): publish into it first"
root=$(cd "$root" && pwd)
state="$root/.kelvo-store"

# The names of the suite, from whichever Windows tree was built.
if [ ! -f "$KELVO_IDS" ] && [ -f "$KELVO_BUILD/release-win/generated/python/kelvo_ids.sh" ]; then
    export KELVO_IDS="$KELVO_BUILD/release-win/generated/python/kelvo_ids.sh"
fi

"$PY" "$here/store_page.py" "$root"
# nginx's worker and the FTP session run unprivileged: they must reach the content.
chmod -R a+rX "$root"

stopping=false sleeper=""
stop_servers() {
    $stopping && return 0
    stopping=true
    [ -z "$sleeper" ] || kill "$sleeper" 2>/dev/null || true
    "$here/stock/stock.sh" stop "$state"
    log "store stopped"
}
trap 'stop_servers' EXIT
trap 'exit 0' INT TERM

# Active-mode data connections leave from the port below the FTP port, as 20 below 21.
KELVO_STOCK_HTTP_PORT=$http_port KELVO_STOCK_FTP_PORT=$ftp_port KELVO_STOCK_FTP_DATA_PORT=$((ftp_port - 1)) \
    KELVO_STOCK_LISTEN=$listen KELVO_STOCK_MASK_PASSWORD=1 "$here/stock/stock.sh" start "$state" "$root"
log "serving $root: web on $listen:$http_port, FTP on $listen:$ftp_port; logs in $state; Ctrl+C stops"
# Waits for a signal; the stop ends the sleep too.
sleep infinity &
sleeper=$!
wait "$sleeper"

#!/usr/bin/env bash
# Runs the DOM wrapper's network tests under Wine against a local HTTP server that logs every request.
#   run_with_store.sh <tests.exe> [gtest arguments...]
# Uses WINEPREFIX and the rest of the Wine environment as given.
set -euo pipefail
exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-dom-store.XXXXXX")
source "$here/../local_store.sh"
cleanup() {
    stop_local_store
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

start_local_store "$work/root" "$work"

# Under Wine the Unix root is drive Z:.
export KELVO_DOM_HTTP_PORT=$http_port
export KELVO_DOM_HTTP_LOG="Z:${work//\//\\}\\log\\http.log"
status=0
wine "$exe" "$@" || status=$?
echo "--- requests seen by the local HTTP server:"
cat "$work/log/http.log" 2>/dev/null || true
exit $status

# Starts Debian's vsftpd and nginx on the given content for a Windows-side test run; sourced by the run_with
# scripts. start_stock_store CONTENT WORK sets http_port and ftp_port (state and logs in WORK/stock);
# stop_stock_store ends both and removes what they were given.
stock_store_sh="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/store/stock/stock.sh"

start_stock_store() {
    local content=$1 work=$2
    stock_state="$work/stock"
    # nginx's worker and the FTP session run unprivileged: they must reach the content.
    chmod a+rx "$work"
    chmod -R a+rX "$content"
    "$stock_store_sh" start "$stock_state" "$content" || return 1
    # shellcheck source=/dev/null
    source "$stock_state/ports"
}

stop_stock_store() {
    [ -z "${stock_state:-}" ] || "$stock_store_sh" stop "$stock_state"
}

# The commands the FTP server saw and the requests the web server answered, for a failure's report.
show_stock_logs() {
    echo "--- FTP commands seen by vsftpd:"
    grep -aE '"(RETR|LIST|PORT|PASV|SIZE)' "$stock_state/vsftpd.log" 2>/dev/null | tail -n 20 || true
    echo "--- requests seen by nginx:"
    tail -n 20 "$stock_state/nginx-access.log" 2>/dev/null || true
}

#!/usr/bin/env bash
# Stock servers for the store's content: Debian's vsftpd (active mode only, passive refused, the store's FTP
# account chrooted to the content, read-only) and Debian's nginx, both on loopback.
#
#   stock.sh start STATE_DIR CONTENT_DIR   generate the configurations under STATE_DIR and start both servers
#   stock.sh stop STATE_DIR                stop both, remove the account's PAM service and STATE_DIR's files
#
# Ports: KELVO_STOCK_HTTP_PORT and KELVO_STOCK_FTP_PORT; the FTP server opens its active-mode data connections
# from KELVO_STOCK_FTP_DATA_PORT (free loopback ports for those unset). The ports in use are written to
# STATE_DIR/ports as shell assignments (http_port=, ftp_port=, ftp_data_port=). A port already taken is refused
# before anything starts. KELVO_STOCK_LISTEN gives the address to listen on (127.0.0.1 unless set).
# KELVO_STOCK_MASK_PASSWORD=1 logs the web requests with the value of every userPwd parameter masked.
#
# Both servers answer what the suite asks of a store: nginx the store page (index.html, else index.asp) at the root
# and at /redirect.asp, the installation and removal notices with "OK", and the content's files; vsftpd the
# content's files. A state folder inside the content is served by neither (its name should start with ".").
#
# The FTP account is a virtual user: vsftpd asks PAM through a service of its own, /etc/pam.d/kelvo-stock-<id>,
# whose only module (pam_pwdfile) checks the password against STATE_DIR/ftp.passwd. No system user is made: the
# session runs as the unprivileged "nobody", the account exists only for that service and only while the
# servers run. Needs root (vsftpd's chroot and PAM; run with sudo otherwise).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
source "$root/tools/env.sh"

VSFTPD=/usr/sbin/vsftpd
NGINX=/usr/sbin/nginx
PAM_DIR=/etc/pam.d
DEADLINE=10

say() { printf '[stock] %s\n' "$*" >&2; }
fail() { printf '[stock] error: %s\n' "$*" >&2; exit 1; }

free_port() {
    "$PY" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The PAM service of one state folder: the same folder always gets the same name, so a start after a crash
# replaces the old file instead of adding one.
pam_service() {
    printf 'kelvo-stock-%s' "$(printf '%s' "$1" | sha256sum | cut -c1-12)"
}

# The FTP account from the suite's names header.
load_account() {
    load_ids
    [ -n "${kStoreFtpUser:-}" ] && [ -n "${kStoreFtpPassword:-}" ] || fail "no FTP account in $KELVO_IDS"
}

write_vsftpd_conf() {
    local state=$1 content=$2 service=$3
    cat >"$state/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=$listen
listen_port=$ftp_port
background=NO
anonymous_enable=NO
local_enable=YES
guest_enable=YES
guest_username=ftp
pam_service_name=$service
userlist_enable=NO
local_root=$content
chroot_local_user=YES
write_enable=NO
download_enable=YES
pasv_enable=NO
port_enable=YES
connect_from_port_20=YES
ftp_data_port=$ftp_data_port
hide_ids=YES
dirmessage_enable=NO
session_support=NO
secure_chroot_dir=$state/empty
xferlog_enable=YES
xferlog_std_format=NO
log_ftp_protocol=YES
vsftpd_log_file=$state/vsftpd.log
isolate_network=NO
isolate=NO
seccomp_sandbox=NO
hide_file={.*}
deny_file={.*}
CONF
}

write_nginx_conf() {
    local state=$1 content=$2 access_format=""
    if [ "${KELVO_STOCK_MASK_PASSWORD:-0}" = 1 ]; then
        access_format=masked
    fi
    cat >"$state/nginx.conf" <<CONF
daemon off;
worker_processes 1;
user nobody nogroup;
pid $state/nginx.pid;
error_log $state/nginx-error.log warn;
events { worker_connections 64; }
http {
    map \$request_uri \$masked_uri {
        "~*^(?<before>[^?]*\\?(?:.*&)?userPwd=)[^&]*(?<after>.*)\$" "\${before}***\${after}";
        default \$request_uri;
    }
    log_format masked '\$remote_addr [\$time_local] "\$request_method \$masked_uri \$server_protocol" \$status \$body_bytes_sent';
    access_log $state/nginx-access.log $access_format;
    client_body_temp_path $state/nginx-temp/body;
    proxy_temp_path $state/nginx-temp/proxy;
    fastcgi_temp_path $state/nginx-temp/fastcgi;
    uwsgi_temp_path $state/nginx-temp/uwsgi;
    scgi_temp_path $state/nginx-temp/scgi;
    types { text/html html htm asp; text/xml xml; text/plain txt; }
    default_type application/octet-stream;
    server {
        listen $listen:$http_port;
        root $content;
        location ~ (^|/)\. { return 404; }
        location = / { try_files /index.html /index.asp =404; }
        location ~* ^/redirect\.asp\$ { try_files /index.html /index.asp =404; }
        location ~* ^/apps/(update|delete)_set\.asp\$ {
            default_type text/html;
            return 200 "OK";
        }
    }
}
CONF
}

# Fails unless the port can be bound on the listening address, naming what it was meant for. Bound as the servers
# bind theirs (SO_REUSEADDR), so connections of an earlier run that are still closing do not count; a listener
# does. Without this check, a server that cannot bind would look started to a wait on another program's port.
need_free_port() {
    local port=$1 what=$2
    "$PY" -c 'import socket,sys; s=socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind((sys.argv[1], int(sys.argv[2]))); s.listen(); s.close()' \
        "$listen" "$port" 2>/dev/null || fail "port $port ($what) on $listen is in use: choose another one"
}

# Waits until something accepts connections on the port, or the process ends; the process must still run after
# it (a server that lost its port to another program ends soon after its start).
wait_listening() {
    local pid=$1 port=$2 end=$((SECONDS + DEADLINE))
    local address=$listen
    [ "$address" != 0.0.0.0 ] || address=127.0.0.1
    until "$PY" -c 'import socket,sys; socket.create_connection((sys.argv[1], int(sys.argv[2])), 1).close()' \
        "$address" "$port" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || return 1
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && port_held_by_group "$port" "$pid"
}

# Whether a listener on the port belongs to the process group (each server runs in a group of its own).
port_held_by_group() {
    local port=$1 group=$2 holder
    for holder in $(ss -Hltnp "sport = :$port" | grep -o 'pid=[0-9]*' | cut -d= -f2); do
        [ "$(ps -o pgid= -p "$holder" | tr -d ' ')" = "$group" ] && return 0
    done
    return 1
}

start() {
    local state=$1 content
    content=$(cd "$2" && pwd)
    [ "$(id -u)" -eq 0 ] || fail "vsftpd's chroot and PAM need root: run with sudo"
    [ -x "$VSFTPD" ] && [ -x "$NGINX" ] || fail "vsftpd or nginx is missing (tools/setup.sh installs them)"
    load_account
    listen=${KELVO_STOCK_LISTEN:-127.0.0.1}
    mkdir -p "$state"
    state=$(cd "$state" && pwd)
    [ ! -f "$state/ports" ] || stop "$state"
    mkdir -p "$state/empty" "$state/nginx-temp"
    # Only the servers' privileged parts read the state folder: the FTP session and the web worker run
    # unprivileged, so a state folder inside the content stays out of their reach (vsftpd's deny_file looks at a
    # path's last name only).
    chmod 700 "$state"
    chmod 755 "$state/empty"
    http_port=${KELVO_STOCK_HTTP_PORT:-$(free_port)}
    ftp_port=${KELVO_STOCK_FTP_PORT:-$(free_port)}
    ftp_data_port=${KELVO_STOCK_FTP_DATA_PORT:-$(free_port)}
    # Two free ports asked for one after the other can be the same one.
    while [ "$ftp_port" = "$http_port" ] && [ -z "${KELVO_STOCK_FTP_PORT:-}" ]; do ftp_port=$(free_port); done
    while [ "$ftp_data_port" = "$http_port" ] || [ "$ftp_data_port" = "$ftp_port" ]; do
        [ -z "${KELVO_STOCK_FTP_DATA_PORT:-}" ] || fail "KELVO_STOCK_FTP_DATA_PORT is one of the other ports"
        ftp_data_port=$(free_port)
    done
    need_free_port "$http_port" "web server"
    need_free_port "$ftp_port" "FTP server"

    local service
    service=$(pam_service "$state")
    printf '%s:%s\n' "$kStoreFtpUser" "$(printf '%s' "$kStoreFtpPassword" | openssl passwd -6 -stdin)" \
        >"$state/ftp.passwd"
    chmod 600 "$state/ftp.passwd"
    printf 'auth required pam_pwdfile.so pwdfile=%s\naccount required pam_permit.so\n' "$state/ftp.passwd" \
        >"$PAM_DIR/$service"
    printf '%s\n' "$service" >"$state/pam-service"
    write_vsftpd_conf "$state" "$content" "$service"
    write_nginx_conf "$state" "$content"
    printf 'http_port=%s\nftp_port=%s\nftp_data_port=%s\n' "$http_port" "$ftp_port" "$ftp_data_port" >"$state/ports"

    setsid "$VSFTPD" "$state/vsftpd.conf" >"$state/vsftpd.out" 2>&1 </dev/null &
    echo $! >"$state/vsftpd.pid"
    setsid "$NGINX" -p "$state" -c "$state/nginx.conf" -e "$state/nginx-error.log" >"$state/nginx.out" 2>&1 </dev/null &
    echo $! >"$state/nginx-master.pid"
    if ! wait_listening "$(cat "$state/vsftpd.pid")" "$ftp_port"; then
        cat "$state/vsftpd.out" >&2
        stop "$state"
        fail "vsftpd did not start on port $ftp_port"
    fi
    if ! wait_listening "$(cat "$state/nginx-master.pid")" "$http_port"; then
        cat "$state/nginx.out" "$state/nginx-error.log" >&2 2>/dev/null || true
        stop "$state"
        fail "nginx did not start on port $http_port"
    fi
    say "vsftpd on 127.0.0.1:$ftp_port (active mode, data from port $ftp_data_port), nginx on 127.0.0.1:$http_port"
}

# Whether a process of the group still runs; an ended one waits as a zombie until whoever adopted it reaps it.
group_runs() {
    ps -eo pgid=,stat= | awk -v group="$1" '$1 == group && $2 !~ /^Z/ { found = 1 } END { exit !found }'
}

# Ends a server and the processes it forked (each runs in a process group of its own) by its pid file: TERM, then
# KILL after the deadline; the file is forgotten.
stop_pid() {
    local file=$1 name=$2 pid
    [ -f "$file" ] || return 0
    pid=$(cat "$file")
    if [[ "$pid" =~ ^[0-9]+$ ]] && grep -qa "$name" "/proc/$pid/cmdline" 2>/dev/null; then
        kill -TERM -- "-$pid" 2>/dev/null || true
        local end=$((SECONDS + DEADLINE))
        while group_runs "$pid" && [ "$SECONDS" -lt "$end" ]; do sleep 0.05; done
        kill -KILL -- "-$pid" 2>/dev/null || true
        # A child of this shell is reaped here; one from an earlier shell has gone once kill -0 fails.
        wait "$pid" 2>/dev/null || true
    fi
    rm -f "$file"
}

stop() {
    local state=$1
    [ -d "$state" ] || return 0
    state=$(cd "$state" && pwd)
    stop_pid "$state/vsftpd.pid" vsftpd
    stop_pid "$state/nginx-master.pid" nginx
    local service
    service=$(pam_service "$state")
    rm -f "$PAM_DIR/$service"
    rm -rf "$state/empty" "$state/nginx-temp"
    rm -f "$state/ftp.passwd" "$state/pam-service" "$state/ports" "$state/vsftpd.conf" "$state/nginx.conf" \
        "$state/nginx.pid"
}

case "${1:-}" in
    start) [ $# -eq 3 ] || fail "usage: $0 start STATE_DIR CONTENT_DIR"; start "$2" "$3" ;;
    stop) [ $# -eq 2 ] || fail "usage: $0 stop STATE_DIR"; stop "$2" ;;
    *) echo "usage: $0 start STATE_DIR CONTENT_DIR | stop STATE_DIR" >&2; exit 2 ;;
esac

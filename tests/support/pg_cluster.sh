#!/usr/bin/env bash
# A private PostgreSQL 15 server for the tests: a cluster of its own in a
# temporary folder, listening on a unix socket in that folder only (no TCP
# port), never Debian's default cluster.
#
#   pg_cluster.sh start STATE   makes and starts the cluster; STATE (a file)
#                               then holds the libpq words that reach it
#   pg_cluster.sh stop STATE    stops it and removes its folder
#   pg_cluster.sh halt STATE    stops it, keeping its data (a server going down)
#   pg_cluster.sh resume STATE  starts it again on the same data
#
# initdb refuses to run as root: as root the cluster belongs to the postgres
# user (made by the postgresql-15 package); as anyone else, to that user.
set -euo pipefail

PG_BIN=${SHELFMARK_PG_BIN:-/usr/lib/postgresql/15/bin}
command=${1:?start or stop}
state=${2:?state file}

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

start() {
    [ -x "$PG_BIN/initdb" ] || { echo "no PostgreSQL 15 in $PG_BIN (package postgresql-15)" >&2; exit 1; }
    local dir
    dir=$(mktemp -d /tmp/shelfmark-pg.XXXXXX)
    chmod 755 "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_owner "$PG_BIN/initdb" -D "$dir/data" -U postgres -E UTF8 --locale=C.UTF-8 --auth=trust \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # Throwaway data: nothing needs to survive a power cut, so nothing waits
    # for the disk.
    cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$dir'
port = 5432
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 200
shared_buffers = 64MB
EOF
    # Every role signs in without a password, but the one the password tests
    # use, which must give its own.
    { echo "local all shelfmark_password scram-sha-256"; cat "$dir/data/pg_hba.conf"; } >"$dir/hba"
    cat "$dir/hba" >"$dir/data/pg_hba.conf" && rm "$dir/hba"
    as_owner "$PG_BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null \
        || { cat "$dir/server.log" >&2; exit 1; }
    printf 'host=%s port=5432 user=postgres dbname=postgres\n' "$dir" >"$state"
    echo "test server at $dir"
}

# The cluster's folder, named by the state file; only a test server's.
cluster_dir() {
    local dir
    dir=$(sed -n 's/^host=\([^ ]*\) .*/\1/p' "$state")
    case "$dir" in /tmp/shelfmark-pg.*) echo "$dir" ;; *) echo "not a test server: $dir" >&2; exit 1 ;; esac
}

stop() {
    [ -f "$state" ] || exit 0
    local dir
    dir=$(cluster_dir)
    rm -f "$state"
    as_owner "$PG_BIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}

halt() {
    local dir
    dir=$(cluster_dir)
    as_owner "$PG_BIN/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null
}

resume() {
    local dir
    dir=$(cluster_dir)
    as_owner "$PG_BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null \
        || { tail -n 20 "$dir/server.log" >&2; exit 1; }
}

case "$command" in
    start) start ;;
    stop) stop ;;
    halt) halt ;;
    resume) resume ;;
    *) echo "usage: $0 start|stop|halt|resume STATE" >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Runs one end-to-end script against the real program, as a clerk would use it:
# a private X display (Xvfb), a private session bus with the accessibility bus
# switched on, the program on a fresh demo library, and a Python script that
# works its windows through AT-SPI.
# With SERVER_STATE (the state file of the tests' own PostgreSQL server, see
# tests/support/pg_cluster.sh), the demo library is made on that server, in a
# database of its own that is dropped afterwards; the script finds the state
# file in SHELFMARK_SERVER_STATE.
# usage: run_e2e.sh SHELFMARK_EXE SHELFMARK_DB_EXE SCRIPT.py [SERVER_STATE]
set -euo pipefail
exe=$1; dbtool=$2; script=$3; server_state=${4:-}
server=""
if [ -n "$server_state" ]; then
    server=$(cat "$server_state")
    export SHELFMARK_SERVER_STATE="$server_state"
    export SHELFMARK_PG_CLUSTER="$(cd "$(dirname "$0")/../support" && pwd)/pg_cluster.sh"
fi
work=$(mktemp -d)
database=""
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$database" ] && psql -X -q "$server" -c "DROP DATABASE IF EXISTS $database WITH (FORCE)" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# A program directory of its own: the executable, the files beside it, a demo library.
program="$work/program"
cp -r "$(dirname "$exe")" "$program"
rm -f "$program"/mdb/Shelfmark.mdb* "$program"/setting.ini "$program"/dat/userdata.dat
if [ -n "$server" ]; then
    database="shelfmark_e2e_$$"
    psql -X -q -v ON_ERROR_STOP=1 "$server" -c "CREATE DATABASE $database" >/dev/null
    "$dbtool" demo "$program" --server "$server dbname=$database" >/dev/null
    [ -f "$program/dat/library.ini" ] || { echo "no dat/library.ini after demo --server"; exit 1; }
else
    "$dbtool" demo "$program" >/dev/null
fi
# No quick tips at start, so the main window is what the clerk sees.
if [ -f "$program/QUICKTIP.INI" ]; then
    sed -i 's/^START=T/START=F/' "$program/QUICKTIP.INI"
fi

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$work/display")"

export SHELFMARK_EXE="$program/shelfmark" SHELFMARK_DIR="$program"
set +e
dbus-run-session -- bash -c '
    set -euo pipefail
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$SHELFMARK_EXE" >"$SHELFMARK_DIR/program.log" 2>&1 &
    app=$!
    set +e
    /usr/bin/python3 "'"$script"'"
    rc=$?
    kill $app 2>/dev/null
    wait $app 2>/dev/null
    if [ $rc -ne 0 ]; then echo "--- program output:"; tail -n 30 "$SHELFMARK_DIR/program.log"; fi
    exit $rc
' 2>"$work/bus.log"
rc=$?
if [ $rc -ne 0 ]; then echo "--- bus and script errors:"; tail -n 40 "$work/bus.log"; fi
exit $rc

#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program directory, creates
# the demo library there when no database exists, and starts the program.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
install_missing
build
program="$SHELFMARK_BUILD/program"
if [ ! -f "$program/mdb/Shelfmark.mdb" ]; then
    "$SHELFMARK_BUILD/shelfmark-db" demo "$program"
fi
exec "$program/shelfmark"

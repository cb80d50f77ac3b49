#!/usr/bin/env bash
# Installs the Debian 12 packages Shelfmark needs (only those missing) and
# builds the program directory in build/program. Sourced by run.sh and test.sh.
set -euo pipefail

SHELFMARK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SHELFMARK_BUILD=${SHELFMARK_BUILD:-$SHELFMARK_ROOT/build}

PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libqt6sql6-sqlite
          qt6-translations-l10n libgtest-dev libgmock-dev xvfb xauth fonts-wqy-microhei
          dbus at-spi2-core python3-pyatspi libsqlite3-dev
          postgresql-15 libqt6sql6-psql libpq-dev poppler-utils python3-psycopg2
          libxlsxwriter-dev python3-openpyxl qt6-charts-dev
          librsvg2-bin desktop-file-utils appstream lintian debootstrap dpkg-dev curl)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
    echo "== building in $SHELFMARK_BUILD"
    cmake -S "$SHELFMARK_ROOT" -B "$SHELFMARK_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$SHELFMARK_BUILD"
}

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless).
set -euo pipefail
source "$(dirname "$0")/setup.sh"
install_missing
build
cd "$SHELFMARK_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

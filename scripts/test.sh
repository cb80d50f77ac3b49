#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless); then the
# same tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan), where any finding fails the run.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
install_missing
build
cd "$SHELFMARK_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

SANITIZED_BUILD=${SHELFMARK_ASAN_BUILD:-$SHELFMARK_ROOT/build-asan}
echo "== building with sanitizers in $SANITIZED_BUILD"
cmake -S "$SHELFMARK_ROOT" -B "$SANITIZED_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DSHELFMARK_SANITIZE=ON >/dev/null
cmake --build "$SANITIZED_BUILD"
cd "$SANITIZED_BUILD"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The package on a fresh Debian 12 root, when asked for (it needs root and the
# Debian mirror, and takes a few minutes).
if [ "${SHELFMARK_PACKAGE_TEST:-0}" = 1 ]; then
    bash "$SHELFMARK_ROOT/scripts/package.sh"
fi

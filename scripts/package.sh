#!/usr/bin/env bash
# Installs what is missing, builds the program, makes the Debian package
# build/shelfmark_<version>_amd64.deb with CPack, checks the menu entry, the
# metainfo and the package with their validators (any error fails), and
# tests the package on a fresh Debian 12 root (scripts/package-test.sh).
set -euo pipefail
source "$(dirname "$0")/setup.sh"
install_missing
echo "== building the package in $SHELFMARK_BUILD"
cmake -S "$SHELFMARK_ROOT" -B "$SHELFMARK_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$SHELFMARK_BUILD" --target shelfmark shelfmark-db package_files
rm -f "$SHELFMARK_BUILD"/cpack/shelfmark_*.deb
(cd "$SHELFMARK_BUILD" && cpack --config CPackConfig.cmake >/dev/null)
deb=$(ls "$SHELFMARK_BUILD"/cpack/shelfmark_*_amd64.deb)
cp "$deb" "$SHELFMARK_BUILD/"
deb=$SHELFMARK_BUILD/$(basename "$deb")
echo "== made $deb"

echo "== checking the menu entry, the metainfo and the package"
desktop-file-validate "$SHELFMARK_ROOT/packaging/org.shelfmark.Shelfmark.desktop"
appstreamcli validate --no-net "$SHELFMARK_BUILD/packaging/org.shelfmark.Shelfmark.metainfo.xml"
lintian_out=$(lintian --fail-on error "$deb" 2>&1) || { echo "$lintian_out"; echo "lintian reports errors"; exit 1; }
lintian_out=$(grep -v 'running with root privileges' <<<"$lintian_out" || true)
echo "${lintian_out:-lintian: no errors, no warnings}"

bash "$SHELFMARK_ROOT/scripts/package-test.sh" "$deb"

#!/usr/bin/env bash
# Installs a built package into a fresh Debian 12 root (made once with
# debootstrap and kept in build/pkgtest/base), with apt resolving its
# dependencies; then, as an ordinary user: makes a library with shelfmark-db,
# starts the program under Xvfb and finds its sign-in window; starts it for a
# second user without a library and finds the first-start window; removes the
# package and checks the library is still there. Needs root (chroot, mounts).
# usage: package-test.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")/.." && pwd)
work=${SHELFMARK_PACKAGE_TEST_DIR:-$here/build/pkgtest}
mirror=${SHELFMARK_DEBIAN_MIRROR:-http://deb.debian.org/debian}
base=$work/base root=$work/root
mkdir -p "$work/archives"

say() { echo "== package test: $*"; }
fail() { echo "PACKAGE TEST FAILED: $*" >&2; exit 1; }

if [ ! -d "$base" ]; then
    say "making a Debian 12 root in $base (once)"
    curl -fsI --max-time 20 "$mirror/dists/bookworm/Release" >/dev/null ||
        fail "the Debian mirror $mirror cannot be reached"
    rm -rf "$base.tmp"
    debootstrap --variant=minbase bookworm "$base.tmp" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        fail "debootstrap failed (see $work/debootstrap.log)"
    mv "$base.tmp" "$base"
fi

# The processes started in the root, by their ids: each is started as
# `chroot … env … PROGRAM &`, and chroot and env hand over to the program, so
# the id is the program's own.
started=()
cleanup() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
    umount "$root/proc" 2>/dev/null || true
    if [ -d "$root/var/cache/apt/archives" ]; then
        cp -n "$root"/var/cache/apt/archives/*.deb "$work/archives/" 2>/dev/null || true
    fi
    rm -rf "$root"
}
trap cleanup EXIT
rm -rf "$root"
cp -a "$base" "$root"
mount -t proc proc "$root/proc"
cp "$work"/archives/*.deb "$root/var/cache/apt/archives/" 2>/dev/null || true
cp "$deb" "$root/tmp/shelfmark.deb"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
display=""
as_user() {  # as_user NAME COMMAND...
    local user=$1; shift
    chroot --userspec="$user:$user" "$root" env -i PATH=/usr/bin:/bin HOME="/home/$user" LANG=C.UTF-8 \
        DISPLAY=":$display" "$@"
}
as_user_started() {  # as_user_started NAME COMMAND...: in the background, its id kept in $pid
    local user=$1; shift
    chroot --userspec="$user:$user" "$root" env -i PATH=/usr/bin:/bin HOME="/home/$user" LANG=C.UTF-8 \
        DISPLAY=":$display" "$@" &
    pid=$!
    started+=("$pid")
}

say "installing $(basename "$deb") with apt"
in_root apt-get update -qq || fail "apt-get update"
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq --no-install-recommends \
    /tmp/shelfmark.deb xvfb xauth x11-utils >"$work/apt.log" 2>&1 || fail "apt install (see $work/apt.log)"
in_root dpkg -s shelfmark | grep -q '^Status: install ok installed' || fail "shelfmark not installed"
in_root useradd -m clerk
in_root useradd -m newclerk

say "making a library as the user clerk"
as_user clerk shelfmark-db demo /home/clerk/.local/share/shelfmark || fail "shelfmark-db demo"
library=$root/home/clerk/.local/share/shelfmark/mdb/Shelfmark.mdb
[ -f "$library" ] || fail "no library at ~clerk/.local/share/shelfmark"

mkdir -p "$work/screens"
# A display of its own: Xvfb picks a free number and writes it to fd 3.
rm -f "$work/display"
as_user_started clerk Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -fbdir /tmp \
    3>"$work/display" >"$work/xvfb.log" 2>&1
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=$(cat "$work/display")
[ -n "$display" ] || fail "Xvfb did not start (see $work/xvfb.log)"
# Waits for a window titled $2 while user $1 runs the program; keeps a
# picture of the screen as build/pkgtest/screens/$3.xwd.
sees() {
    local user=$1 title=$2 picture=$3 found=""
    as_user_started "$user" shelfmark >"$work/$picture.log" 2>&1
    for _ in $(seq 100); do
        if as_user "$user" xwininfo -root -tree | grep -q "\"$title\""; then found=1; break; fi
        sleep 0.2
    done
    sleep 1
    cp "$root/tmp/Xvfb_screen0" "$work/screens/$picture.xwd" 2>/dev/null || true
    as_user "$user" xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ "' >"$work/$picture.windows" || true
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$found" ] || fail "$user: no window \"$title\" (see $work/$picture.log, $work/$picture.windows)"
    say "$user sees the window \"$title\""
}
sees clerk "登录" sign-in
[ -f "$root/home/clerk/.local/share/shelfmark/QUICKTIP.INI" ] || fail "the tips were not laid into the data folder"
sees newclerk "首次使用" first-start

say "removing the package"
DEBIAN_FRONTEND=noninteractive in_root apt-get remove -y -qq shelfmark >>"$work/apt.log" 2>&1 || fail "apt remove"
[ ! -e "$root/usr/bin/shelfmark" ] || fail "the program is still there after removal"
[ -f "$library" ] || fail "the user's library went with the package"
say "passed: installed, used by an ordinary user, removed; the user's library stays"

#!/usr/bin/env bash
# Builds the Debian package and installs it into a fresh Debian 12 root, as a
# user's apt would, then runs the installed program and validates its desktop
# entry there: scripts/check-deb.sh [build dir]. Needs root (debootstrap,
# chroot). The root is made from the mirror this machine's apt uses and is
# removed afterwards; LORVANE_KEEP_ROOT=1 keeps it for a look.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
"$root/scripts/deps.sh" debootstrap dpkg-dev
LORVANE_TARGETS="lorvane lorvane_data lorvane_desktop_files" "$root/scripts/build.sh" "$dir" >&2
(cd "$dir" && cpack -G DEB >/dev/null)
deb="$(ls -t "$dir"/lorvane_*_amd64.deb | head -1)"
echo "Package: $deb" >&2
dpkg-deb -f "$deb" Package Version Depends Recommends >&2

mirror="$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -1)"
[ -n "$mirror" ] || mirror="$(awk '$1 == "deb" && $3 ~ /^bookworm$/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null)"
[ -n "$mirror" ] || { echo "no Debian mirror in this machine's apt sources" >&2; exit 1; }

target="$(mktemp -d /tmp/lorvane-debroot-XXXXXX)"
cleanup() {
  umount "$target/proc" 2>/dev/null || true
  [ "${LORVANE_KEEP_ROOT:-0}" = 1 ] && { echo "Root kept in $target" >&2; return; }
  rm -rf "$target"
}
trap cleanup EXIT
start=$SECONDS
echo "Making a Debian 12 root in $target ..." >&2
debootstrap --variant=minbase bookworm "$target" "$mirror" >"$target.log" 2>&1 ||
  { tail -20 "$target.log" >&2; exit 1; }
rm -f "$target.log"
echo "Root made in $((SECONDS - start)) s; installing the package ..." >&2
cp "$deb" "$target/tmp/"
# Some packages' scripts want /proc; a container that refuses the mount
# still installs the rest.
mount -t proc proc "$target/proc" 2>/dev/null || true
in_root() {
  chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
in_root apt-get update -qq
# The recommended tool chains are left out to keep the root small; the
# field itself is shown above.
in_root apt-get install -y -qq --no-install-recommends \
  "/tmp/$(basename "$deb")" desktop-file-utils >"$target.log" 2>&1 ||
  { tail -20 "$target.log" >&2; exit 1; }
rm -f "$target.log"
echo "Installed in $((SECONDS - start)) s from the start." >&2

version="$(in_root lorvane --version)"
echo "$version"
[ "$version" = "Lorvane $(dpkg-deb -f "$deb" Version)" ]
in_root desktop-file-validate /usr/share/applications/org.lorvane.Lorvane.desktop
if in_root ldd /usr/bin/lorvane | grep "not found"; then exit 1; fi
# The window system plugin is there, so the program can show its window.
in_root sh -c 'ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so' >/dev/null
echo "The package installs and runs in a fresh Debian 12 root ($((SECONDS - start)) s)." >&2

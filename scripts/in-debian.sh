#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command in a fresh minimal Debian root of the given release, on a copy of this
# checkout, as a new user of that release would: nothing installed but what the command
# installs itself.
#
#   bash scripts/in-debian.sh 13 'bash scripts/install-deps.sh && cmake --workflow --preset default'
#
# Needs root and no container engine: debootstrap makes the minimal root once and keeps it
# as a tarball under build/in-debian/; every run unpacks it into a new folder, mounts /proc,
# /sys, /dev and a tmpfs /tmp there, copies the checkout's files (its working tree with
# uncommitted changes, without build/) to /src and runs the command there with bash. The
# downloaded packages are kept beside the tarball, so a second run installs without
# downloading again. The root is removed afterwards unless BREVANE_KEEP_ROOT=1.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ne 2 ]]; then
    echo "usage: $0 RELEASE-NUMBER COMMAND" >&2
    exit 2
fi
release=$1
command=$2
case "$release" in
    12) suite=bookworm ;;
    13) suite=trixie ;;
    *)
        echo "$0: no suite known for Debian $release" >&2
        exit 2
        ;;
esac
mirror=${BREVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}

if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

cache=$PWD/build/in-debian
tarball=$cache/debian-$release-minbase.tar
packages=$cache/debian-$release-packages
mkdir -p "$cache" "$packages/partial"
if [[ ! -f $tarball ]]; then
    echo "in-debian: making a minimal Debian $release root" >&2
    fresh=$(mktemp -d "$cache/bootstrap.XXXXXX")
    debootstrap --variant=minbase "$suite" "$fresh" "$mirror" >"$cache/debootstrap-$release.log" 2>&1 || {
        tail -n 20 "$cache/debootstrap-$release.log" >&2
        rm -rf "$fresh"
        exit 1
    }
    # The release's updates and security fixes, as on an installed system.
    cat >"$fresh/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb http://deb.debian.org/debian-security $suite-security main
EOF
    rm -rf "$fresh/var/cache/apt/archives"/*.deb
    tar -C "$fresh" -cf "$tarball.part" .
    mv "$tarball.part" "$tarball"
    rm -rf "$fresh"
fi

root=$(mktemp -d "$cache/root-$release.XXXXXX")
unmount() {
    # Deepest mounts first; a busy one is detached lazily so the root can still go.
    for mountpoint in $(findmnt -rn -o TARGET | grep -F "$root/" | sort -r); do
        umount "$mountpoint" 2>/dev/null || umount -l "$mountpoint"
    done
    if [[ ${BREVANE_KEEP_ROOT:-0} != 1 ]]; then
        rm -rf --one-file-system "$root"
    else
        echo "in-debian: root kept in $root" >&2
    fi
}
trap unmount EXIT
tar -C "$root" -xf "$tarball"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mkdir -p "$root/src"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -C "$root/src" -xf -
cp -a .git "$root/src/.git"

mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
mount --bind "$packages" "$root/var/cache/apt/archives"

# A clean environment, as after a login, with the few variables that steer a build or CI.
environment=(HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
for name in CI CMAKE_BUILD_PARALLEL_LEVEL; do
    if [[ -n ${!name:-} ]]; then
        environment+=("$name=${!name}")
    fi
done
echo "in-debian: Debian $release ($suite): $command" >&2
chroot "$root" /usr/bin/env -i "${environment[@]}" /bin/bash -c "cd /src && $command"

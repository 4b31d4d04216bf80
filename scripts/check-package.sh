#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (cmake --workflow --preset package) and checks it as
# Debian's tools do: lintian, the AppStream metadata and the desktop entries; then the
# AppArmor profile, and the maintainer scripts run in a fake root on the systems they
# tell apart. Every check prints nothing but its verdict when the package is clean.
set -euo pipefail
cd "$(dirname "$0")/.."

rm -f build/package/brevane_*.deb
cmake --workflow --preset package

shopt -s nullglob
debs=(build/package/brevane_*.deb)
if [[ ${#debs[@]} -ne 1 ]]; then
    echo "check-package: expected one package in build/package, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}
echo "== lintian $deb"
# We build and check as root (CI does); lintian only warns about that.
lintian --allow-root --fail-on error,warning "$deb"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

echo "== appstreamcli validate"
# The metadata names its developer the AppStream 1.0 way, <developer id><name>, which 1.0
# asks for; an older AppStream does not know the element yet and only says so, as of any
# tag it does not know. 1.0, which knows every tag, validates the package on Debian 13.
appstream_version=$(appstreamcli --version | sed -n 's/^AppStream version: //p')
strict=(--strict)
if dpkg --compare-versions "$appstream_version" lt 1.0; then
    strict+=(--override=unknown-tag=pedantic)
fi
appstreamcli validate --no-net "${strict[@]}" "$tree"/usr/share/metainfo/*.metainfo.xml
# The metadata together with the desktop entry and icons it refers to.
appstreamcli validate-tree --no-net "${strict[@]}" "$tree"

echo "== desktop-file-validate"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
echo "== AppArmor profile"
profile=/etc/apparmor.d/brevane-pages
control=$tree/DEBIAN
dpkg-deb -e "$deb" "$control"
grep -qxF "$profile" "$control/conffiles" || { echo "$profile is no conffile" >&2; exit 1; }
# Attached to the page helper, confining nothing but granting user namespaces, under
# AppArmor 4's rules, with room for the administrator's additions.
for line in 'abi <abi/4.0>,' \
    'profile brevane-pages /usr/libexec/brevane/brevane-pages flags=(unconfined) {' \
    '  userns,' '  include if exists <local/brevane-pages>' '}'; do
    grep -qxF -- "$line" "$tree$profile" || { echo "$profile lacks: $line" >&2; exit 1; }
done
# The program it is attached to is in the package.
[[ -x $tree/usr/libexec/brevane/brevane-pages ]] || {
    echo "the page helper /usr/libexec/brevane/brevane-pages is not in the package" >&2
    exit 1
}

echo "== maintainer scripts"
# Each case: the system (AppArmor's user-namespace switch in the kernel: yes or no; the
# parser: none, one that loads the profile, one that reads but cannot load it, or one
# older than AppArmor 4 that cannot read it), the script calls as dpkg makes them, the
# parser calls expected, and whether the profile is then in place, disabled or gone. A
# stand-in parser notes its calls; every script must succeed.
root=$tree/fakeroot
disabled=/etc/apparmor.d/disable/brevane-pages
as_root=()
[[ $EUID -eq 0 ]] || as_root=(unshare --map-root-user)
fake_root() {  # switch parser
    rm -rf "$root"
    mkdir -p "$root/usr/bin" "$root/usr/sbin" "$root/etc/apparmor.d" "$root/dev"
    ln -s usr/bin "$root/bin"
    ln -s usr/sbin "$root/sbin"
    : >"$root/dev/null"  # a plain file takes what the scripts throw away
    cp "$tree$profile" "$root$profile"
    cp "$control/postinst" "$control/postrm" "$root/"
    local tool
    for tool in sh rm rmdir mkdir ln readlink cp; do
        cp -L "$(command -v "$tool")" "$root/usr/bin/$tool"
        ldd "$(command -v "$tool")" | grep -o '/[^ ]*' | xargs -I{} cp --parents {} "$root"
    done
    # Steps besides the package's scripts: the administrator disables the profile as
    # aa-disable does; the parser is upgraded to one that reads the profile.
    printf 'mkdir -p %s\nln -s %s %s\n' "${disabled%/*}" "$profile" "$disabled" >"$root/aa-disable"
    printf '#!/bin/sh\necho "$*" >>/parser.log\n' >"$root/new-parser"
    printf 'cp /new-parser /usr/sbin/apparmor_parser\n' >"$root/upgrade-parser"
    if [[ $1 == yes ]]; then
        mkdir -p "$root/proc/sys/kernel"
        echo 1 >"$root/proc/sys/kernel/apparmor_restrict_unprivileged_userns"
    fi
    [[ $2 != none ]] || return 0
    local parser=$root/usr/sbin/apparmor_parser
    cp "$root/new-parser" "$parser"
    case $2 in
        old) echo 'case "$*" in *--skip-kernel-load*) exit 1 ;; esac' >>"$parser" ;;
        failing) echo 'case "$*" in *--replace*) exit 1 ;; esac' >>"$parser" ;;
    esac
    chmod 755 "$parser"
}
read_only="--skip-kernel-load --skip-cache $profile"
load="--replace --skip-read-cache --write-cache $profile"
while IFS='|' read -r name switch parser scripts calls state; do
    fake_root "$switch" "$parser"
    IFS=';' read -ra steps <<<"$scripts"
    for step in "${steps[@]}"; do
        env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "${as_root[@]}" chroot "$root" sh /$step ||
            { echo "$name: $step failed" >&2; exit 1; }
    done
    got=$(paste -sd ';' "$root/parser.log" 2>/dev/null || true)
    want=$(eval "echo \"$calls\"")
    [[ $got == "$want" ]] || { echo "$name: parser calls '$got', not '$want'" >&2; exit 1; }
    case $state in
        in-place) [[ -f $root$profile && ! -e $root$disabled ]] ;;
        disabled) [[ $(readlink "$root$disabled") == "$profile" ]] ;;
        gone) [[ ! -e $root$profile && ! -L $root$disabled && ! -e $root/var/lib/brevane ]] ;;
    esac || { echo "$name: the profile is not $state" >&2; exit 1; }
done <<'CASES'
no AppArmor|no|none|postinst configure||in-place
AppArmor without the switch|no|ok|postinst configure|$read_only|in-place
the switch: loaded|yes|ok|postinst configure|$read_only;$load|in-place
the switch, loading refused|yes|failing|postinst configure|$read_only;$load|in-place
the switch without a parser|yes|none|postinst configure||in-place
parser older than AppArmor 4|yes|old|postinst configure|$read_only|disabled
removed: unloaded|yes|ok|postinst configure;postrm remove|$read_only;$load;--remove $profile|in-place
removed without AppArmor|no|none|postrm remove||in-place
purged after a disabling|yes|old|postinst configure;postrm remove;postrm purge|$read_only;--remove $profile|gone
parser upgraded: enabled again|yes|old|postinst configure;upgrade-parser;postinst configure|$read_only;$read_only;$load|in-place
disabled by the administrator: stays|yes|ok|postinst configure;aa-disable;postinst configure|$read_only;$load;$read_only|disabled
the administrator's disabling survives a newer parser|yes|old|aa-disable;postinst configure;upgrade-parser;postinst configure|$read_only;$read_only|disabled
CASES
echo "package checks passed"

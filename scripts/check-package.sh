#!/usr/bin/env bash
# Builds the Debian package (cmake --workflow --preset package) and checks it as
# Debian's tools do: lintian, the AppStream metadata and the desktop entries.
# Every check prints nothing but its verdict when the package is clean.
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
appstreamcli validate --no-net --strict "$tree"/usr/share/metainfo/*.metainfo.xml
# The metadata together with the desktop entry and icons it refers to.
appstreamcli validate-tree --no-net "$tree"

echo "== desktop-file-validate"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
echo "package checks passed"

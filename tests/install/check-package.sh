#!/usr/bin/env bash
# Builds the Debian package from a build tree, checks its metadata files and its dependencies,
# unpacks it into a scratch root and starts the installed programs from there.
#   tests/install/check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

need() { command -v "$1" >/dev/null || { echo "check-package: $1 is missing (install $2)" >&2; exit 1; }; }
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need man man-db
need dpkg-shlibdeps dpkg-dev

desktop-file-validate "$source_dir/packaging/org.omta.QPV7100Control.desktop"
appstreamcli validate --no-net "$source_dir/packaging/org.omta.QPV7100Control.metainfo.xml"
for page in qpv-panel qpv-sim; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$source_dir/packaging/man/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "check-package: $page.1: $warnings" >&2; exit 1; }
done

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/qpv-panel_*.deb)
echo "check-package: built $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "check-package: Depends: $depends"
for dependency in libqt6core6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins fonts-ipafont-gothic; do
    grep -q "$dependency" <<<"$depends" || { echo "check-package: missing dependency $dependency" >&2; exit 1; }
done

dpkg-deb -x "$deb" "$scratch/root"
for file in usr/bin/qpv-panel usr/bin/qpv-sim usr/share/applications/org.omta.QPV7100Control.desktop \
    usr/share/metainfo/org.omta.QPV7100Control.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/org.omta.QPV7100Control.svg \
    usr/share/icons/hicolor/48x48/apps/org.omta.QPV7100Control.png \
    usr/share/man/man1/qpv-panel.1 usr/share/man/man1/qpv-sim.1; do
    [ -e "$scratch/root/$file" ] || { echo "check-package: $file is not in the package" >&2; exit 1; }
done

"$scratch/root/usr/bin/qpv-panel" --version | grep -q '1.04.0002 (Ver.1.42)'
"$scratch/root/usr/bin/qpv-sim" --version | grep -q '1.04.0002'
# The installed panel on its simulated projector keeps running until stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$scratch/root/usr/bin/qpv-panel" --simulate || status=$?
[ "$status" -eq 124 ] || { echo "check-package: the installed panel ended with status $status" >&2; exit 1; }
echo "check-package: the package installs and starts"

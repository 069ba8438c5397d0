#!/bin/sh
# Checks the installed layout and the Debian package: installs the build into
# a staging folder and validates the desktop entry, the AppStream metainfo and
# both manual pages; then packs the .deb with CPack, installs it with apt-get
# as a user would, runs the installed programs and removes the package again.
# Installs the Debian packages it needs when they are missing (as root or with
# sudo). Usage: scripts/check_install.sh   Environment: BUILD (default build).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
# The build folder, relative to the repository unless absolute.
build=$(cd "$root" && realpath -m "${BUILD:-build}")
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

missing=""
for pair in desktop-file-validate:desktop-file-utils appstreamcli:appstream \
            dpkg-shlibdeps:dpkg-dev man:man-db; do
  command -v "${pair%%:*}" >/dev/null 2>&1 || missing="$missing ${pair#*:}"
done
if [ -n "$missing" ]; then
  echo "check_install: installing$missing"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target snipora snipora-cut
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
usr="$work/stage/usr"

for f in bin/snipora bin/snipora-cut share/applications/snipora.desktop \
         share/metainfo/io.snipora.Snipora.metainfo.xml share/mime/packages/snipora.xml \
         share/icons/hicolor/scalable/apps/snipora.svg share/man/man1/snipora.1 \
         share/man/man1/snipora-cut.1; do
  [ -e "$usr/$f" ] || fail "$f was not installed"
done
for size in 16 24 32 48 64 128 256; do
  [ -e "$usr/share/icons/hicolor/${size}x$size/apps/snipora.png" ] || fail "no ${size}px icon"
done

desktop-file-validate "$usr/share/applications/snipora.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/io.snipora.Snipora.metainfo.xml"
for page in snipora snipora-cut; do
  warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1" 2>&1 >"$work/$page.txt")
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  grep -q "^NAME" "$work/$page.txt" || fail "$page.1 did not render"
done

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/snipora_*.deb)
echo "check_install: built $(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
version=$(/usr/bin/snipora-cut --version)
[ "$version" = "snipora-cut $(dpkg-deb -f "$deb" Version)" ] || fail "unexpected version: $version"
echo "check_install: $version runs from the installed package"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq snipora >/dev/null
echo "check_install: passed"

#!/usr/bin/env bash
# Builds the Debian package from a Release build, checks what it holds, installs it with dpkg
# (as root) and runs keydecoder-cli from the installed package.
# usage: package_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKD_BUILD_TESTS=OFF -DKD_SANITIZE=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
rm -f "$build"/keydecoder_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/keydecoder_*.deb)
echo "package: $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for f in usr/bin/keydecoder usr/bin/keydecoder-cli usr/bin/keyreader-sim \
         usr/share/applications/keydecoder.desktop usr/share/icons/hicolor/scalable/apps/keydecoder.svg \
         usr/share/mime/packages/keydecoder.xml; do
  [ -e "$root/$f" ] || { echo "missing from the package: $f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6serialport6; do
  grep -q "$lib" <<<"$depends" || { echo "dependency not declared: $lib"; exit 1; }
done

if [ "$(id -u)" -eq 0 ]; then
  dpkg -i "$deb" >/dev/null
  trap 'dpkg -r keydecoder >/dev/null 2>&1 || true; rm -rf "$root"' EXIT
  version=$(/usr/bin/keydecoder-cli --version)
else
  version=$("$root/usr/bin/keydecoder-cli" --version)
fi
echo "$version"
grep -q '^keydecoder-cli [0-9]' <<<"$version"

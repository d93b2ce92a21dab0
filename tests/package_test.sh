#!/usr/bin/env bash
# Builds the Debian package from a Release build, checks what it holds and what it depends on, and
# runs its programs from a scratch folder it is unpacked into. Nothing is installed or removed.
# usage: package_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
packages_before=$(md5sum /var/lib/dpkg/status)

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
# Every dependency the package declares must be on this machine, or the programs below would run
# here and fail where the package is installed.
depends=$(dpkg-deb -I "$deb" | sed -n 's/^ Depends: //p')
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6serialport6; do
  grep -q "$lib" <<<"$depends" || { echo "dependency not declared: $lib"; exit 1; }
done
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
  satisfied=no
  IFS='|' read -ra alternatives <<<"$clause"
  for alternative in "${alternatives[@]}"; do
    pkg=$(awk '{print $1}' <<<"$alternative")
    if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then satisfied=yes; fi
  done
  [ $satisfied = yes ] || { echo "dependency not installed here: $clause"; exit 1; }
done

# The programs run from the unpacked package; the system's packages are left as they were, so an
# installed keydecoder is neither replaced nor removed.
export PATH="$root/usr/bin:$PATH"
version=$(keydecoder-cli --version)
echo "$version"
grep -q '^keydecoder-cli [0-9]' <<<"$version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM keydecoder --version | grep -q '^keydecoder [0-9]'
keyreader-sim --help >/dev/null
log=$(keydecoder-cli data2 "$src/samples/crane-200.512")
grep -q '^Блок,Дата,Время' <<<"$log"
[ "$(md5sum /var/lib/dpkg/status)" = "$packages_before" ] || { echo "the system's package state changed"; exit 1; }

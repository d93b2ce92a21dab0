#!/usr/bin/env bash
# The desktop entry opens ".512" files: it takes a file (%f) and names the MIME type that the
# package's shared-mime-info file gives to "*.512".
# usage: desktop_entry_test.sh DIST_DIR
set -euo pipefail
dist=$1
entry=$dist/keydecoder.desktop

grep -qx 'Exec=keydecoder %f' "$entry" || { echo "Exec does not take a file"; exit 1; }
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$entry")
[ -n "$type" ] || { echo "no MimeType in the desktop entry"; exit 1; }

command -v update-mime-database >/dev/null || { echo "update-mime-database missing (shared-mime-info)"; exit 1; }
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
db=$data/mime
mkdir -p "$db/packages"
cp "$dist/keydecoder-mime.xml" "$db/packages/keydecoder.xml"
XDG_DATA_HOME=$data update-mime-database "$db" 2>"$data/errors"
[ ! -s "$data/errors" ] || { cat "$data/errors"; exit 1; }
grep -q "^[0-9]*:$type:\*\.512$" "$db/globs2" || { echo "*.512 is not $type"; cat "$db/globs2"; exit 1; }
echo "ok: *.512 is $type"

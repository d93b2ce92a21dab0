#!/usr/bin/env bash
# keydecoder-cli as a whole process on full keys, with hyperfine: one full key's event log to CSV
# against the process floor (--version), and a batch of N full keys to --output-dir.
# usage: bench/cli_batch.sh [KEYDECODER_CLI] [N]   (default: build/release/src/cli/keydecoder-cli, 200)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "${1:-$here/../build/release/src/cli/keydecoder-cli}")
count=${2:-200}
key=$here/../samples/full-4675.512

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out"
for i in $(seq -w 1 "$count"); do cp "$key" "$work/in/key$i.512"; done

hyperfine -N --warmup 10 --runs 100 "$cli --version" "$cli data2 $key"
cd "$work"
hyperfine --warmup 1 --runs 10 "$cli data2 in/*.512 --output-dir out"
echo "keys per second: $count divided by the batch's mean time"

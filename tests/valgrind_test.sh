#!/usr/bin/env bash
# Runs keydecoder-cli of a Release build under valgrind's memcheck on a full key: both reports,
# every format. Any error fails.
# usage: valgrind_test.sh CLI SAMPLES_DIR
set -euo pipefail
cli=$1
samples=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for report in data1 data2; do
  for format in csv txt doc xls htm; do
    valgrind --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite -q \
      "$cli" "$report" "$samples/full-4675.512" --format "$format" --output "$out/$report.$format"
    echo "memcheck clean: $report --format $format"
  done
done

#!/usr/bin/env bash
# Cross-compiles the Qt-free libraries and their unit tests for Windows with MinGW-w64 and runs
# each test program under Wine, without a display.
#   windows_test.sh SOURCE_DIR BUILD_DIR
# Exit status 77 (a skip for ctest) when the cross compiler or Wine is not installed.
set -euo pipefail
source_dir=$(realpath "$1")
build_dir=$(realpath -m "$2")
compiler=x86_64-w64-mingw32-g++-posix
wine=/usr/lib/wine/wine64          # Debian's wine64 package puts it here, not on PATH
wineserver=/usr/lib/wine/wineserver
wine_timeout=300

if ! command -v "$compiler" >/dev/null || [[ ! -x $wine ]]; then
  echo "skipped: needs $compiler (g++-mingw-w64-x86-64-posix) and $wine (wine64)"
  exit 77
fi

cmake -S "$source_dir/tests/windows" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" >/dev/null || cmake --build "$build_dir" -j1

# A Wine of our own in the build tree: no display, no Mono or Gecko installers, no debug noise.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$build_dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null || true' EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  timeout "$wine_timeout" "$wine" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
fi

failed=()
for program in image_tests report_tests writer_tests; do
  echo "== $program.exe under Wine"
  status=0
  (cd "$build_dir" && timeout "$wine_timeout" "$wine" "./$program.exe" --gtest_brief=1) || status=$?
  if ((status != 0)); then
    ((status == 124)) && echo "$program.exe timed out after ${wine_timeout}s"
    failed+=("$program")
  fi
done
if ((${#failed[@]})); then
  echo "failed under Wine: ${failed[*]}"
  exit 1
fi

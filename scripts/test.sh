#!/usr/bin/env bash
# Sets up what is missing, then runs every test: the window-free logic natively, then the Windows
# build's tests and end-to-end tests under Wine on a virtual display, and makes and checks the package.
# Exits non-zero on any failure.
set -euo pipefail
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"

echo "== native build and tests"
configure_and_build "$BUILD/native" "" RelWithDebInfo
ctest --test-dir "$BUILD/native" --output-on-failure

echo "== fuzz targets, a few seconds each"
bash "$ROOT/scripts/fuzz.sh" 5

echo "== Windows build ($WIN_ARCH under $WINE)"
build_windows
prepare_prefix

start_display 91
trap 'stop_display; "$(wineserver_cmd)" -k 2>/dev/null || true' EXIT
status=0
ctest --test-dir "$WIN_BUILD" --output-on-failure || status=$?

echo "== package"
"$ROOT/scripts/package.sh" || status=1
exit $status

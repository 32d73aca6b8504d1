#!/usr/bin/env bash
# Sets up what is missing, then runs every test: the window-free logic natively, then the Windows
# build's tests and end-to-end tests under Wine on virtual displays, and makes and checks the package.
# Prints what each part took at the end. Exits non-zero on any failure.
#   TESSALY_TEST_LANES   Windows tests run side by side, each lane with its own display and Wine
#                        prefix (3; 1 runs them one after the other)
set -euo pipefail
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"
LANE_COUNT=${TESSALY_TEST_LANES:-3}

TIMES="$BUILD/test-times-$WIN_ARCH.txt"  # "<seconds>\t<part>", one a line
mkdir -p "$BUILD"
: >"$TIMES"
STARTED=$SECONDS
part() {  # name command...
  local name=$1 start=$SECONDS status=0
  shift
  echo "== $name"
  "$@" || status=$?
  printf '%s\t%s\n' $((SECONDS - start)) "$name" >>"$TIMES"
  return $status
}
# Each CTest entry's own time, from its summary lines ("  3/21 Test  #3: name ....   Passed   29.50 sec").
ctest_times() {  # log
  sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .* \([0-9.]*\) sec$/\2\t  \1/p' "$1" >>"$TIMES"
}
print_times() {
  echo
  echo "Time taken, seconds (the Windows tests' entries ran in $LANE_COUNT lanes side by side):"
  awk -F '\t' '{ printf "%8s  %s\n", $1, $2 }' "$TIMES"
  printf '%8s  %s\n' $((SECONDS - STARTED)) "in all"
}

native() {
  configure_and_build "$BUILD/native" "" RelWithDebInfo
  ctest --test-dir "$BUILD/native" --output-on-failure -j2
}
part "native build and tests" native
# The fuzz targets run beside the Windows tests, at low priority: those mostly wait on Wine and the
# display, and the fuzzers take the time they leave. Their output is printed after the tests'.
fuzz_log="$BUILD/fuzz-log.txt"
part "fuzz targets, a few seconds each (beside the Windows tests)" nice -n 19 bash "$ROOT/scripts/fuzz.sh" 5 \
  >"$fuzz_log" 2>&1 &
fuzz_pid=$!
part "Windows build ($WIN_ARCH under $WINE)" build_windows
part "Wine prefix" prepare_prefix

start_display 91
trap '{ kill "$fuzz_pid" 2>/dev/null || true; }; stop_lanes; stop_display; "$(wineserver_cmd)" -k 2>/dev/null || true' EXIT
start_lanes "$LANE_COUNT"
status=0
log="$BUILD/test-log-$WIN_ARCH.txt"
part "Windows tests" run_in_lanes "$WIN_BUILD" "$log" || status=1
cat "$log"
wait "$fuzz_pid" || { status=1; echo "The fuzz targets failed:"; }
cat "$fuzz_log"
ctest_times "$log"

part "package" "$ROOT/scripts/package.sh" || status=1
print_times
exit $status

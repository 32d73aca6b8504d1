#!/usr/bin/env bash
# Builds the libFuzzer targets in tests/fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for the given number of seconds (default 60), one after the other, at low priority.
# Usage: bash scripts/fuzz.sh [seconds] [target...]   Targets: ItemReader Encoding Date UserInput ItemDir
# SettingsSection RecoveryNames Autostart ReminderLog.
# Corpora grow in build/fuzz/corpus/<target>; a failing input is saved in build/fuzz/ and stops the run.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SECONDS_EACH=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(ItemReader Encoding Date UserInput ItemDir SettingsSection RecoveryNames Autostart ReminderLog)
OUT=${FUZZ_OUT:-$ROOT/build/fuzz}
CXX=${FUZZ_CXX:-clang++}
command -v "$CXX" >/dev/null || "$ROOT/scripts/setup.sh"

# The program's narrow literals are GBK. Clang has no -fexec-charset, so the sources are handed to it
# in GBK, and it keeps a string literal's bytes as they stand.
SRC="$OUT/src"
rm -rf "$SRC"
for file in "$ROOT"/framework/*.[ch]* "$ROOT"/core/*.[ch]* "$ROOT"/items/*.[ch]* "$ROOT"/tests/fuzz/*.[ch]*; do
  case "$file" in *Win.cpp|*WinMain.cpp) continue ;; esac
  relative="${file#"$ROOT"/}"
  mkdir -p "$SRC/$(dirname "$relative")"
  iconv -f UTF-8 -t CP936 "$file" >"$SRC/$relative"
done

FLAGS=(-std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra -Wno-invalid-source-encoding -I"$SRC"
       -fsanitize=address,undefined -fno-sanitize-recover=undefined)
OBJ="$OUT/obj"
mkdir -p "$OBJ"
# Two compilers at once, through ccache when it is there: the sources are the same from run to run.
CACHE=$(command -v ccache || true)
objects=()
for file in "$SRC"/framework/*.cpp "$SRC"/core/*.cpp "$SRC"/items/*.cpp; do
  object="$OBJ/$(basename "$file" .cpp).o"
  [ "$(jobs -rp | wc -l)" -lt 2 ] || wait -n
  $CACHE "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer-no-link -c "$file" -o "$object" &
  objects+=("$object")
done
while [ -n "$(jobs -rp)" ]; do wait -n; done

status=0
for target in "${TARGETS[@]}"; do
  "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer "$SRC/tests/fuzz/Fuzz$target.cpp" "${objects[@]}" -o "$OUT/fuzz_$target"
  mkdir -p "$OUT/corpus/$target"
  # Seeds: the item files and texts the native tests use are a good start.
  if [ -z "$(ls -A "$OUT/corpus/$target")" ]; then
    printf 'a,2025-01-01\r\n\xc3\xab\xc3\xab,5\xd4\xc2\x32\x30\xc8\xd5\r\n;x\r\n' >"$OUT/corpus/$target/gbk"
    printf '\xef\xbb\xbf\xe7\x94\x9f\xe6\x97\xa5,2025-05-20\n' >"$OUT/corpus/$target/utf8"
    printf '\xff\xfeu\x75\x2c\x00\x31\x00\x0d\x00\x0a\x00' >"$OUT/corpus/$target/utf16"
    printf '\x12\x342025\xc4\xea5\xd4\xc2\x32\x30\xc8\xd5' >"$OUT/corpus/$target/date"
    # Two bytes of today, the split, then a reminder log's two values.
    printf '\x12\x34\x2b20270520-7-a-0000abcd 20270101-0-m-ffffffff20270511 20270520-7-a-0000abcd 09:30' \
      >"$OUT/corpus/$target/reminders"
  fi
  echo "== $target: ${SECONDS_EACH}s"
  log="$OUT/$target.log"
  if (cd "$OUT" && nice -n 19 "./fuzz_$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=1024 -max_len=65536 \
        -timeout=10 -print_final_stats=1 "corpus/$target" >"$log" 2>&1); then
    grep -E "^stat::number_of_executed_units|^Done|^stat::peak_rss" "$log" || true
  else
    status=1
    echo "FAILED: see $log" >&2
    grep -E "check failed|ERROR|SUMMARY|Test unit written" "$log" >&2 || tail -20 "$log" >&2
  fi
done
exit $status

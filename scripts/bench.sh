#!/usr/bin/env bash
# Measures the program against a floor: a layered window that draws the same rows the same way and
# does what every tray widget must, a tray icon and its place written at the quit (tests/bench/Floor.cpp);
# the quit is also set against the bare floor, the window alone. Both run in the same session, in alternating order, on a virtual
# display with a window manager, and are watched from outside (tests/bench/xprobe.c): screen pixels,
# the X pointer and keys, process ends, /proc. Prints min / median / max of each figure and the ratio
# of the medians, then the step timeline of the start and of the quit: the marks both programs write
# when TESSALY_TIMELINE names a file (framework/Timeline.h), on the probe's clock. Not run by the test
# command: it prints figures and checks nothing.
#   BENCH_RUNS      alternating runs of the start / options / quit figures and of the renders (8)
#   BENCH_IDLE      idle rounds of 60 s, both programs side by side (2)
#   BENCH_BIG_MB    size of the long item file for the start-up-vs-file-size figure (100; 0 skips it)
#   BENCH_LINES     lines of the program's list (5): with more, it shows 20 rows, the floor's five
#                   over again in other date forms with reminders and milestones, and the further
#                   lines mix lunar and repeating dates; the floor then draws the same 20 rows
set -euo pipefail
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"
RUNS=${BENCH_RUNS:-8}
IDLE_ROUNDS=${BENCH_IDLE:-2}
BIG_MB=${BENCH_BIG_MB:-100}
LINES=${BENCH_LINES:-5}
ROWS=$((LINES < 20 ? LINES : 20))

build_windows
prepare_prefix
BENCH="$BUILD/bench"
mkdir -p "$BENCH"
gcc -O2 -Wall -Wextra -o "$BENCH/xprobe" "$ROOT/tests/bench/xprobe.c" -lX11 -ldl
WINCTL="$WIN_BUILD/winctl.exe"
winctl() { "$WINE" "$WINCTL" "$@" 2>/dev/null | tr -d '\r'; }

start_display 151  # with the test desktop's window manager, as a user's desktop has one
# A server that stays up between runs, so that no run pays for starting it (one already up stays).
"$(wineserver_cmd)" -p 2>/dev/null || true
cleanup() {
  [ -n "${PROBE_PID:-}" ] && kill "$PROBE_PID" 2>/dev/null
  "$(wineserver_cmd)" -k 2>/dev/null || true
  stop_display
  rm -rf "$BENCH/run"
}
trap cleanup EXIT

# The five rows the floor draws: dates relative to today give the same numbers every day.
write_items() {
  iconv -f UTF-8 -t CP936 <<ITEMS
下次旅行,$(date -d '+12 days' +%Y-%m-%d)
妈妈生日,$(date +%Y-%m-%d)
新年,$(date -d '+100 days' +%Y-%m-%d)
相识纪念日,$(date -d '-1000 days' +%Y-%m-%d)
毕业,$(date -d '-2000 days' +%Y-%m-%d)
ITEMS
}
# The program's further lines: the five rows over again up to ROWS, each time in another form that
# gives the same count (a yearly date without a year, a lunar date, 每年), with reminders (one today:
# a balloon at each start, since its settings start afresh) and milestones; then lines that are not
# shown, lunar and repeating dates mixed, up to LINES.
more_items() {
  /usr/bin/python3 - "$ROWS" "$LINES" <<'PY' | iconv -f UTF-8 -t CP936
import datetime, sys
from lunardate import LunarDate
rows, lines = int(sys.argv[1]), int(sys.argv[2])
today = datetime.date.today()
samples = [("下次旅行", 12), ("妈妈生日", 0), ("新年", 100), ("相识纪念日", -1000), ("毕业", -2000)]
months = "正二三四五六七八九十冬腊"
days = ["初" + c for c in "一二三四五六七八九十"] + ["十" + c for c in "一二三四五六七八九"] + ["二十"] + \
       ["廿" + c for c in "一二三四五六七八九"] + ["三十"]
def lunar(d):
    l = LunarDate.fromSolarDate(d.year, d.month, d.day)
    return "农历" + ("闰" if l.isLeapMonth else "") + months[l.month - 1] + "月" + days[l.day - 1]
for i in range(5, rows):
    name, offset = samples[i % 5]
    d = today + datetime.timedelta(days=offset)
    form = i // 5
    if offset < 0:
        print(f"{name},{d.year}年{d.month}月{d.day}日,里程碑" if form == 1 else f"{name},{d.year}-{d.month}-{d.day},里程碑,提醒")
    elif form == 1:
        print(f"{name},{d.month}月{d.day}日,提醒")
    elif form == 2:
        print(f"{name},{lunar(d)},提前3天,提醒")
    else:
        print(f"{name},{d:%Y-%m-%d},每年,提前7天,提醒")
for i in range(rows, lines):
    d = today + datetime.timedelta(days=(i * 37) % 700 - 350)
    kind = i % 5
    print(f"纪念日{i + 1}," + [lunar(d), f"{d:%Y-%m-%d},每月,提醒", f"{d:%Y-%m-%d},里程碑,提前3天,提醒",
                              f"{d.month}月{d.day}日,提前1天,提醒", f"{d:%Y-%m-%d},每周"][kind])
PY
}
# The program's settings at each start: none with five rows, as before; else the rows to show.
reset_settings() {  # folder
  rm -f "$1/Tessaly.ini" "$1/bench_floor.ini"
  [ "$ROWS" = 5 ] || printf '[Tessaly]\r\nrows=%s\r\n' "$ROWS" > "$1/Tessaly.ini"
}
rm -rf "$BENCH/run"
for dir in widget floor bare big; do
  mkdir -p "$BENCH/run/$dir"
  write_items > "$BENCH/run/$dir/Tessaly_items.txt"
done
more_items >> "$BENCH/run/widget/Tessaly_items.txt"
# Both programs run stripped, as a user's copy would be.
STRIP=$([ "$WIN_ARCH" = i686 ] && echo i686-w64-mingw32-strip || echo x86_64-w64-mingw32-strip)
"$STRIP" -o "$BENCH/run/widget/Tessaly.exe" "$WIN_BUILD/Tessaly.exe"
cp "$BENCH/run/widget/Tessaly.exe" "$BENCH/run/big/"
"$STRIP" -o "$BENCH/run/floor/bench_floor.exe" "$WIN_BUILD/bench_floor.exe"
cp "$BENCH/run/floor/bench_floor.exe" "$BENCH/run/bare/"
cp "$WIN_BUILD/render_bench.exe" "$BENCH/run/"
if [ "$BIG_MB" -gt 0 ]; then
  # The five rows, lines enough to fill the table (a list that still goes on at the read budget with
  # the table not full is refused as too large), then one line of BIG_MB megabytes that is not a row.
  for i in $(seq 95); do printf 'more%d,2020-01-01\r\n' "$i"; done >> "$BENCH/run/big/Tessaly_items.txt"
  head -c $((BIG_MB * 1048576)) /dev/zero | tr '\0' 'a' >> "$BENCH/run/big/Tessaly_items.txt"
fi

# Each program started by the probe writes its step marks into a folder inside its own: not into the
# folder itself, which the widget watches for changes to its list.
for dir in widget floor bare big; do mkdir -p "$BENCH/run/$dir/marks"; done
coproc PROBE { TESSALY_TIMELINE='marks\timeline.txt' exec "$BENCH/xprobe"; }
ask() {
  echo "$*" >&"${PROBE[1]}"
  local answer
  read -r answer <&"${PROBE[0]}"
  echo "  $1: $answer" >&2
  echo "$answer"
}

declare -A samples
WARMING_UP=
record() { [ -n "$WARMING_UP" ] || samples[$1]="${samples[$1]:-} $2"; }  # figure value
STEPS="$BENCH/steps.txt"  # "<program> <run> start|quit <ms> <step>", one a line
: >"$STEPS"
RUN_ID=0

# The marks of one run, as ms from the launch (marks before the click) or from the click on "退出",
# with what the probe saw. Marks more than a second after the frame seen and before the click (the
# options dialog's) are left out.
record_steps() {  # who launched-us frame-ms clicked-us quit-ms
  [ -z "$WARMING_UP" ] || return 0
  RUN_ID=$((RUN_ID + 1))
  local file="$BENCH/run/$1/marks/timeline.txt"
  {
    echo "launch	$2"
    awk -v l="$2" -v f="$3" 'BEGIN { printf "first frame seen\t%.0f\n", l + f * 1000 }'
    [ -f "$file" ] && cat "$file"
    echo "click	$4"
    awk -v c="$4" -v q="$5" 'BEGIN { printf "process end seen\t%.0f\n", c + q * 1000 }'
  } | awk -F '\t' -v who="$1" -v run="$RUN_ID" -v l="$2" -v f="$3" -v c="$4" '
    $2 + 0 >= c { printf "%s %d quit %.1f %s\n", who, run, ($2 - c) / 1000, $1; next }
    ($2 - l) / 1000 <= f + 1000 { printf "%s %d start %.1f %s\n", who, run, ($2 - l) / 1000, $1 }' >>"$STEPS"
}

# Away from where the programs show: a pointer left over the widget by the last run's click would
# have it make its row tooltips at start (and show one during the idle minute).
park_pointer() { xdotool mousemove 0 0; }

exe_of() { case $1 in widget | big) echo Tessaly.exe ;; floor) echo bench_floor.exe --rows "$ROWS" ;; bare) echo bench_floor.exe --bare --rows "$ROWS" ;; esac; }

# One start, [options OK,] quit of a program, recorded under its name. Where the widget is comes
# from the screen (the probe), the keys and clicks from the X pointer and keyboard.
one_run() {  # widget|floor|bare|big
  local who=$1 answer ms pid x y w h launched frame clicked bl bt br bb
  reset_settings "$BENCH/run/$who"
  rm -f "$BENCH/run/$who/marks/timeline.txt"
  park_pointer
  # shellcheck disable=SC2046
  answer=$(ask launch "$BENCH/run/$who" "$WINE" $(exe_of "$who"))
  read -r _ ms pid x y w h launched <<<"$answer"
  [ "$ms" = fail ] && return 0
  record "$who.frame" "$ms"
  frame=$ms
  sleep 1.5  # the tray icon, then quiet
  if [ "$who" = widget ]; then
    winctl command Tessaly 32772 >/dev/null
    local dialog=
    for _ in $(seq 50); do
      dialog=$(xdotool search --onlyvisible --name '^选项$' | head -1) && [ -n "$dialog" ] && break
      sleep 0.1
    done
    sleep 0.3
    # A click into the size box, wherever the dialog's other controls put it, gives it the keyboard;
    # its text is replaced.
    local box
    box=$(winctl item 选项 1023)
    read -r bl bt br bb <<<"$box"
    xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) sleep 0.15 click 1 sleep 0.2 \
      key End shift+Home BackSpace type 40
    sleep 0.3
    # Rows at size 40 below the old bottom edge: only the new layout puts them there.
    answer=$(ask keywait Return $((x + w / 2)) $((y + h + 4)) $((w / 2)) 40)
    read -r _ ms x y w h <<<"$answer"
    [ "$ms" != fail ] && record "$who.options" "$ms"
    sleep 1
  fi
  # "退出" by keys: the last entry of the floor's menu; above the row's own entry in the widget's.
  answer=$(ask menuquit $((x + w / 2)) $((y + 5)) "$([ "$who" = floor ] || [ "$who" = bare ] && echo 1 || echo 2)")
  read -r _ ms clicked <<<"$answer"
  if [ "$ms" = fail ]; then
    kill "$pid" 2>/dev/null || true
    sleep 1
  elif [ "$who" != big ]; then
    record "$who.quit" "$ms"
    [ "$who" = bare ] || record_steps "$who" "$launched" "$frame" "$clicked" "$ms"
  fi
}

echo "warming up (the first start of a session loads Wine's own programs)"
WARMING_UP=1
one_run floor
one_run widget
WARMING_UP=
for i in $(seq "$RUNS"); do
  echo "run $i of $RUNS"
  if [ $((i % 2)) = 1 ]; then one_run widget; one_run floor; one_run bare; else one_run bare; one_run floor; one_run widget; fi
  if [ "$BIG_MB" -gt 0 ] && [ "$i" -le 3 ]; then one_run big; fi
done

echo "renders"
for i in $(seq "$RUNS"); do
  for who in widget floor; do
    if [ "$who" = widget ]; then out=$("$WINE" "$BENCH/run/render_bench.exe" --render 40 --rows "$ROWS" 2>/dev/null | tr -d '\r')
    else out=$("$WINE" "$BENCH/run/floor/bench_floor.exe" --render 40 --rows "$ROWS" 2>/dev/null | tr -d '\r'); fi
    while read -r _ size ms; do record "$who.render$size" "$ms"; done < <(grep '^render' <<<"$out")
  done
done

echo "idle: $IDLE_ROUNDS x 60 s, both programs side by side"
for i in $(seq "$IDLE_ROUNDS"); do
  park_pointer
  reset_settings "$BENCH/run/widget"
  (cd "$BENCH/run/widget" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
  widget_pid=$!
  reset_settings "$BENCH/run/floor"
  (cd "$BENCH/run/floor" && exec "$WINE" bench_floor.exe --rows "$ROWS" >/dev/null 2>&1) &
  floor_pid=$!
  sleep 4
  while read -r _ pid wakes switches cpu rss; do
    who=floor; [ "$pid" = "$widget_pid" ] && who=widget
    record "$who.wakes" "$wakes"; record "$who.switches" "$switches"; record "$who.cpu" "$cpu"
    record "$who.rss" "$rss"
  done < <(echo "sample 60 $widget_pid $floor_pid" >&"${PROBE[1]}"; head -n 2 <&"${PROBE[0]}")
  # The minute tick that changes nothing, given 200 times over: each program's CPU time (user and
  # system, in clock ticks) over them, per tick.
  for who in widget floor; do
    title=Tessaly pid=$widget_pid; [ "$who" = floor ] && title=TessalyFloor pid=$floor_pid
    before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    winctl send "$title" 275 1 0 200 >/dev/null  # WM_TIMER, the minute timer's id
    after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    record "$who.tick" "$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.3f", t * 1000 / hz / 200 }')"
  done
  winctl command Tessaly 32776 >/dev/null; winctl command TessalyFloor 32776 >/dev/null
  wait "$widget_pid" "$floor_pid" 2>/dev/null || true
done

record widget.exe "$(stat -c %s "$BENCH/run/widget/Tessaly.exe")"
record floor.exe "$(stat -c %s "$BENCH/run/floor/bench_floor.exe")"

stats() {  # values... -> "min median max"
  [ $# -gt 0 ] || { echo "- - -"; return; }
  printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {
    if (NR == 0) { print "- - -"; exit }
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%g %g %g\n", v[1], m, v[NR] }'
}
row() {  # label key unit [floor]
  local w f
  # shellcheck disable=SC2086
  w=$(stats ${samples[widget.$2]:-}); f=$(stats ${samples[${4:-floor}.$2]:-})
  awk -v label="$1" -v unit="$3" -v w="$w" -v f="$f" 'BEGIN {
    split(w, a, " "); split(f, b, " ")
    ratio = (b[2] != "-" && b[2] + 0 > 0 && a[2] != "-") ? sprintf("%.2fx", a[2] / b[2]) : "-"
    printf "%-30s %-5s %26s %26s %7s\n", label, unit, a[1] " / " a[2] " / " a[3], b[1] " / " b[2] " / " b[3], ratio }'
}
echo
echo "Tessaly ($WIN_ARCH, $(basename "$WIN_BUILD")) against the floor; $LINES lines, $ROWS rows; $RUNS alternating runs, min / median / max"
echo "load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-30s %-5s %26s %26s %7s\n" "figure" "unit" "Tessaly" "floor" "ratio"
row "start to first frame" frame ms
row "quit to process end" quit ms
row "quit, bare floor" quit ms bare
row "options OK to new size" options ms
row "one render, size 20" render20 ms
row "one render, size 200" render200 ms
row "idle 60 s: wake-up intervals" wakes n
row "idle 60 s: voluntary switches" switches n
row "idle 60 s: CPU" cpu ms
row "minute tick, CPU per tick" tick ms
row "working set (RSS) after idle" rss KiB
row "exe stripped" exe bytes
if [ "$BIG_MB" -gt 0 ]; then
  # shellcheck disable=SC2086
  read -r _ big _ < <(stats ${samples[big.frame]:-})
  # shellcheck disable=SC2086
  read -r _ small _ < <(stats ${samples[widget.frame]:-})
  # shellcheck disable=SC2086
  echo "start to first frame with the five rows and a ${BIG_MB} MB line after them (min / median / max):" \
    "$(stats ${samples[big.frame]:-} | sed 's| | / |g') ms, $(awk -v b="$big" -v s="$small" \
    'BEGIN { if (s + 0 > 0 && b != "-") printf "%.2fx", b / s; else printf "-" }') the start with the five rows alone"
fi
echo
echo "Step timeline: median ms from the launch (start) or from the Return on \"退出\" (quit); in brackets"
echo "the median time since the program's previous mark of the same run"
printf "%-6s %-20s %20s %20s\n" "" "step" "Tessaly" "floor"
sort -k3,3 -k1,1 -k2,2n -k4,4g "$STEPS" | awk '
  function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  {
    who = $1; run = $2; phase = $3; ms = $4; step = $5; for (i = 6; i <= NF; ++i) step = step " " $i
    key = who SUBSEP phase SUBSEP step
    if (seen[key, run]++) next  # the first mark of a name in a run
    if (phase SUBSEP who SUBSEP run != last) previous = 0
    last = phase SUBSEP who SUBSEP run
    at[key] = at[key] " " ms; since[key] = since[key] " " (ms - previous); previous = ms
    if (!((phase, step) in order)) { order[phase, step] = 1; names[phase] = names[phase] SUBSEP step }
  }
  END {
    for (p = 1; p <= 2; ++p) {
      phase = p == 1 ? "start" : "quit"
      n = split(substr(names[phase], 2), list, SUBSEP)
      # Steps in the order of their median time, the widget'"'"'s where it has the step.
      for (i = 1; i <= n; ++i) {
        s = list[i]; w = (("widget", phase, s) in at); f = (("floor", phase, s) in at)
        t[i] = w ? median(at["widget", phase, s]) : median(at["floor", phase, s])
        cell[i, 1] = w ? sprintf("%.1f (+%.1f)", median(at["widget", phase, s]), median(since["widget", phase, s])) : "-"
        cell[i, 2] = f ? sprintf("%.1f (+%.1f)", median(at["floor", phase, s]), median(since["floor", phase, s])) : "-"
        idx[i] = i
      }
      for (i = 2; i <= n; ++i) for (j = i; j > 1 && t[idx[j - 1]] > t[idx[j]]; --j) { k = idx[j]; idx[j] = idx[j - 1]; idx[j - 1] = k }
      for (i = 1; i <= n; ++i) printf "%-6s %-20s %20s %20s\n", phase, list[idx[i]], cell[idx[i], 1], cell[idx[i], 2]
    }
  }'

cat <<'NOTES'

What the figures are: start = fork of the Wine launcher to the first 12-pixel run of a row background
seen on screen (XGetImage every 2 ms; the Wine server is already up); quit = Return on the menu's
"退出" (X keys; the widget's row menu ends with the row's own entry) to the process's end (waitpid); options OK = Enter in the options dialog (X key)
to rows of the new size 40 seen below the old bottom edge; render = median of 40 RenderWidget calls
at size 20 and of 5 at size 200 in one process (render_bench) vs the floor's own render, timed in
the process; idle = 50 ms intervals of a 60 s window (one minute tick falls inside it) in which the
process's threads made voluntary context switches (each time a thread blocked: a wait, or a Wine
server round trip that had to wait), their sum and the CPU time of the threads (schedstat); minute
tick = the process's CPU time (/proc, user and system) over 200 minute-timer messages sent after the
idle window, when no count changes, per message (the send's own round trip included); RSS = Linux resident set of the Wine process, Wine's own
libraries included; exe = size after strip (both programs run stripped). The pointer is parked in the
screen's corner before each start. Timeline: each program's own marks (wall clock, microseconds, as the
probe reads it) against the probe's launch and click; "process created" is the system's creation time
of the process, the gap from there to "main" the loading of its libraries.
NOTES

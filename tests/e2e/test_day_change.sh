#!/usr/bin/env bash
# The counts turn over at local midnight without a new layout: the program runs on a clock that
# starts some twenty seconds before midnight (libfaketime, for the program alone; its timers keep the
# real monotonic clock), and the minute timer's first tick after midnight redraws the rows.
# Takes a little over a minute: it waits for a real tick.
source "$(dirname "$0")/lib.sh"

FAKETIME_LIB=
for candidate in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
  [ -f "$candidate" ] && FAKETIME_LIB=$candidate && break
done
if [ -z "$FAKETIME_LIB" ]; then
  fail "libfaketime is installed (scripts/setup.sh installs it)"
  finish
  exit 1
fi

# On 2030-06-14 "明天" is a day away and "今天" is today; a minute later they are today and past.
printf '明天,2030-06-15\n今天,2030-06-14\n' | write_items_gbk
start_app_env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2030-06-14 23:59:40" FAKETIME_DONT_FAKE_MONOTONIC=1 ||
  { finish; exit 1; }
started=$SECONDS

# Opaque colours drawn at the widget's constant alpha 253 over the black desktop, anti-aliased.
UPCOMING=A4B4EA TODAY=FD0400 PAST=F59F00
upcoming() { widget_colour_count $UPCOMING 10; }
today() { widget_colour_count $TODAY 10; }
past() { widget_colour_count $PAST 10; }

check "before midnight: one row to come (light blue)" [ "$(upcoming)" -gt 20 ]
check "before midnight: one row today (red)" [ "$(today)" -gt 20 ]
check "before midnight: no past row (orange)" [ "$(past)" -eq 0 ]

# Midnight passes some twenty seconds after the start; the timer ticks a minute after the first layout.
sleep 45
check "the first tick after midnight draws the new counts" wait_for 40 eval '[ "$(past)" -gt 20 ]'
echo "   (redrawn $((SECONDS - started)) s after the start)"
check "after the tick: nothing is left to come" [ "$(upcoming)" -eq 0 ]
check "after the tick: the row that was a day away is today (red)" [ "$(today)" -gt 20 ]
quit_app
finish

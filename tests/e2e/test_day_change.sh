#!/usr/bin/env bash
# The counts turn over at local midnight without a new layout: the program runs in a time zone of
# its own (TZ, for the program alone), whose offset from UTC is chosen so that its local midnight
# comes twenty to fifty-five seconds after the start; the clock and the timers are the real ones, and
# the minute timer's first tick after midnight redraws the rows.
# Wine takes the zone's offset from the C library in whole minutes, which leaves the seconds of local
# time those of UTC: the start waits until UTC's seconds are between 5 and 40.
# Takes a little over a minute: it waits for a real tick.
source "$(dirname "$0")/lib.sh"

until second=$((10#$(date -u +%S))) && [ "$second" -ge 5 ] && [ "$second" -le 40 ]; do sleep 0.5; done
# Minutes east of UTC that make the local time 23:59 now, between -12 and +12 hours.
now=$(date -u +%s)
east=$(((23 * 60 + 59 - now / 60 % 1440 + 1440 + 720) % 1440 - 720))
sign=- abs=$east
[ "$east" -lt 0 ] && sign=+ abs=$((-east))
ZONE=$(printf 'TSL%s%02d:%02d' "$sign" $((abs / 60)) $((abs % 60)))  # POSIX offsets count west
TODAY=$(TZ=$ZONE date -d "@$now" +%Y-%m-%d)
TOMORROW=$(TZ=$ZONE date -d "@$((now + 86400))" +%Y-%m-%d)
echo "   (TZ=$ZONE: local time $(TZ=$ZONE date -d "@$now" '+%F %T'))"

# Today "明天" is a day away and "今天" is today; a minute later they are today and past.
printf '明天,%s\n今天,%s\n' "$TOMORROW" "$TODAY" | write_items_gbk
start_app_env TZ="$ZONE" || { finish; exit 1; }
started=$SECONDS
check "the program started before midnight, its time" [ "$(TZ=$ZONE date +%H:%M)" = 23:59 ]

# Opaque colours drawn at the widget's constant alpha 253 over the black desktop, anti-aliased.
UPCOMING=A4B4EA TODAY=FD0400 PAST=F59F00
upcoming() { widget_colour_count $UPCOMING 10; }
today() { widget_colour_count $TODAY 10; }
past() { widget_colour_count $PAST 10; }

check "before midnight: one row to come (light blue)" [ "$(upcoming)" -gt 20 ]
check "before midnight: one row today (red)" [ "$(today)" -gt 20 ]
check "before midnight: no past row (orange)" [ "$(past)" -eq 0 ]
check "the checks before midnight were done before it" [ "$(TZ=$ZONE date +%H:%M)" = 23:59 ]

# Midnight passes twenty to fifty-five seconds after the start; the timer ticks a minute after the
# first layout, or on the minute.
until [ "$(TZ=$ZONE date +%H)" = 00 ]; do sleep 1; done
check "the first tick after midnight draws the new counts" wait_for 75 eval '[ "$(past)" -gt 20 ]'
echo "   (redrawn $((SECONDS - started)) s after the start, local time $(TZ=$ZONE date +%T))"
check "after the tick: nothing is left to come" [ "$(upcoming)" -eq 0 ]
check "after the tick: the row that was a day away is today (red)" [ "$(today)" -gt 20 ]
quit_app
finish

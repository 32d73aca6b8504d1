#!/usr/bin/env bash
# The program starts in a folder of its own with an item file, shows its widget as a tool window
# without a taskbar button, draws its rows, and ends through its own quit command, leaving its
# position (and only its position) in the settings file. Asked for the benchmark's timeline, it
# writes its steps in order.
source "$(dirname "$0")/lib.sh"

printf '生日,2020-05-20\n新年,2030-01-01\n' | write_items_gbk
export TESSALY_TIMELINE=timeline.txt  # in the program's folder
start_app || { finish; exit 1; }

read -r _ left top right bottom exstyle visible _ <<<"$WIDGET"
check "the widget window titled Tessaly is shown" [ "$visible" = 1 ]
check "it is a tool window (WS_EX_TOOLWINDOW)" [ $((exstyle & 0x80)) -ne 0 ]
check "it has no taskbar button (no WS_EX_APPWINDOW)" [ $((exstyle & 0x40000)) -eq 0 ]
check "it is a layered window" [ $((exstyle & 0x80000)) -ne 0 ]
check "it has two rows' height and some width" [ $((bottom - top)) -gt 20 -a $((right - left)) -gt 50 ]
# The rows are dark grey and the names white: the window shows what it drew, not the black desktop.
check "the widget's rows are on screen" [ "$(widget_colour_count 262626 12)" -gt 100 ]
check "the names are drawn in white" [ "$(widget_colour_count FFFFFF 8)" -gt 20 ]
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
check "a first run opens centred on the screen" \
  [ "$left" = $(((screen_w - (right - left)) / 2)) -a "$top" = $(((screen_h - (bottom - top)) / 2)) ]
check "nothing is in the settings file before the end" [ -z "$(ini_value posleft)" ]

pid=$APP_PID
check "the quit command ends the process" quit_app
status=0
wait "$pid" 2>/dev/null || status=$?
check "the process exit code is 0 (was $status)" [ "$status" -eq 0 ]
check "the window is gone" winctl gone Tessaly 5
check "posleft holds the window's left edge ($left)" [ "$(ini_value posleft)" = "$left" ]
check "postop holds the window's top edge ($top)" [ "$(ini_value postop)" = "$top" ]
check "fsize was not written" [ -z "$(ini_value fsize)" ]

# "step<TAB>microseconds" lines; the steps named, each at or after the one before.
steps_in_order() {
  awk -F '\t' -v want="$1" 'BEGIN { n = split(want, steps, ",") }
    { at[$1] = $2 }
    END { last = 0
      for (i = 1; i <= n; ++i) { if (!(steps[i] in at) || at[steps[i]] + 0 < last) exit 1; last = at[steps[i]] } }' \
    "$APP_DIR/timeline.txt"
}
check "the timeline holds the start's steps in order" steps_in_order \
  "process created,main,GDI+ started,window created,settings read,list read,layout,frame pushed,window shown"
check "and the quit's after them" steps_in_order "window shown,quit asked,destroying,window gone,GDI+ shut down,exit"
finish

#!/usr/bin/env bash
# The widget on different screens: above other windows, rows that hold their texts whatever the
# names, a stored place that cannot be grabbed, a change of resolution that leaves the widget off the
# screen, and a display at 144 DPI.
source "$(dirname "$0")/lib.sh"

# True when a is 1.5 times b within d.
within() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - 1.5 * b <= d && 1.5 * b - a <= d) }'; }
write_settings() {  # posleft postop (empty: none stored)
  { echo "[Tessaly]"; [ -n "${1:-}" ] && printf 'posleft=%s\npostop=%s\n' "$1" "$2"; echo fsize=20; } > "$(ini_file)"
}
# Where the widget (w x h) would be centred on the primary work area: "left top".
centred_place() {
  local l t r b
  read -r l t r b < <(winctl workarea)
  echo $((l + (r - l - $1) / 2)) $((t + (b - t - $2) / 2))
}
# Checks the three rows: at least a line of the face high, and the first and last pixel lines of every
# row (right of the edge strip) hold only the row's colour, so no text crosses into the next row or
# is cut at the bottom. ROW holds the row height, NAME_INK the first name's white ink box.
check_rows() {  # label em-pixels margin
  local l t r b i y n colour line
  read -r l t r b < <(rect)
  ROW=$(((b - t) / 3))
  line=$(winctl line-height 黑体 "$2")
  check "$1: three rows of $ROW px" [ $((3 * ROW)) -eq $((b - t)) ]
  check "$1: a row ($ROW px) is at least the face's line height at $2 px ($line px)" [ "$ROW" -ge "$line" ]
  for i in 0 1 2; do
    colour=262626
    [ "$i" = 1 ] && colour=333333
    for y in $((t + i * ROW)) $((t + (i + 1) * ROW - 1)); do
      n=$(count_colour $((l + $3)) "$y" $((r - l - $3)) 1 "$colour" 4)
      check "$1: row $i, pixel line $y: only the row's colour ($n of $((r - l - $3)))" [ "$n" -eq $((r - l - $3)) ]
    done
  done
  NAME_INK=$(ink_box "$l" "$t" $((r - l)) "$ROW" FFFFFF 40)
  check "$1: the first name is drawn ($NAME_INK)" [ -n "$NAME_INK" ]
}

# --- always on top; rows whose widest name has short outlines ---
printf '一一一一一,2030-01-01\n生日,2020-05-20\ngjpqy,2029-01-01\n' | write_items_gbk
write_settings
start_app || { finish; exit 1; }
exstyle=$(widget_field 6)
check "the widget's extended style has WS_EX_TOPMOST ($exstyle)" [ $((exstyle & 0x8)) -ne 0 ]
check "and stays a tool window without WS_EX_APPWINDOW: no taskbar button, not in Alt+Tab" \
  [ $((exstyle & 0x80)) -ne 0 -a $((exstyle & 0x40000)) -eq 0 ]
winctl command Tessaly "$ID_APP_HIDE" >/dev/null  # 隐藏到托盘
wait_for 10 widget_hidden || fail "hidden to the tray"
read -r tx ty < <(tray_icon_xy)
click_point "$tx" "$ty" 1
check "a left click on the tray icon shows it again" wait_for 10 widget_shown
exstyle=$(widget_field 6)
check "shown again, still topmost ($exstyle)" [ $((exstyle & 0x8)) -ne 0 ]

check_rows "96 DPI" 20 6
read -r l t r b < <(rect)
W96=$((r - l)) H96=$((b - t)) L96=$l ROW96=$ROW INK96=$NAME_INK
echo "figures at 96 DPI: widget ${W96}x${H96}, row ${ROW96}, first name's ink $INK96"
check "with no stored place it opens centred" [ "$l $t" = "$(centred_place "$W96" "$H96")" ]

# The system sends WM_DPICHANGED when the widget is dragged onto a monitor of another scale. Wine has
# one DPI for all monitors and never sends it, so here it comes from outside, as the system sends it.
before=$(winctl info Tessaly)
winctl post Tessaly "$WM_DPICHANGED" $((144 << 16 | 144)) 0
widget_changed_from "$before" 5
read -r nl nt nr nb < <(rect)
check "WM_DPICHANGED to 144 DPI lays the widget out anew, 1.5 times as large (${W96}x${H96} -> $((nr - nl))x$((nb - nt)))" \
  eval 'within $((nr - nl)) "$W96" 8 && within $((nb - nt)) "$H96" 9'
check "keeping its top-left corner ($l, $t)" [ "$nl $nt" = "$l $t" ]
winctl post Tessaly "$WM_DPICHANGED" $((96 << 16 | 96)) 0
check "and back at 96 DPI it is as before" wait_for 5 eval '[ "$(rect)" = "$l $t $r $b" ]'
quit_app

# --- the stored place is used only where the widget can be grabbed ---
read -r sw sh < <(winctl workarea | awk '{print $3 - $1, $4 - $2}')
write_settings 1275 795
start_app || { finish; exit 1; }
read -r l t r b < <(rect)
check "a stored place of (1275, 795) on the ${sw}x${sh} work area opens centred ($l, $t)" \
  [ "$l $t" = "$(centred_place $((r - l)) $((b - t)))" ]
check "and the settings file is not written at start" [ "$(ini_value posleft)" = 1275 ]
quit_app
# 48 px of the first row's width, and its whole height, on the screen: kept. The window manager then
# moves a window that hangs off the screen fully onto it, into the corner; without one it stays put.
write_settings $((sw - 48)) $((sh - ROW96))
start_app || { finish; exit 1; }
read -r l t r b < <(rect)
check "a stored place with 48 px of the whole first row on screen is kept, not centred ($l $t $r $b)" \
  eval '[ "$l $t" = "$((sw - 48)) $((sh - ROW96))" ] || [ "$r $b" = "$sw $sh" ]' 
quit_app
write_settings $((sw - 47)) $((sh - ROW96))
start_app || { finish; exit 1; }
check "with 47 px it opens centred" [ "$(rect | cut -d' ' -f1,2)" = "$(centred_place "$W96" "$H96")" ]
quit_app

# --- 144 DPI: everything one and a half times ---
use_prefix_copy
set_registry 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 144
write_settings
start_app || { finish; exit 1; }
check_rows "144 DPI" 30 9
read -r l t r b < <(rect)
W144=$((r - l)) H144=$((b - t))
echo "figures at 144 DPI: widget ${W144}x${H144}, row ${ROW}, first name's ink $NAME_INK"
# The width adds eight metrics (margin, four gaps, three measured texts), a row three (the name's
# height and two half gaps): each may round by a pixel.
check "the widget is 1.5 times as wide (${W96} -> ${W144})" within "$W144" "$W96" 8
check "a row is 1.5 times as high (${ROW96} -> ${ROW})" within "$ROW" "$ROW96" 3
read -r il it ir ib <<<"$INK96"
read -r jl jt jr jb <<<"$NAME_INK"
check "the first name's ink is 1.5 times as wide ($((ir - il + 1)) -> $((jr - jl + 1)))" \
  within $((jr - jl + 1)) $((ir - il + 1)) 2
check "and its inset from the widget's left edge 1.5 times ($((il - L96)) -> $((jl - l)))" \
  within $((jl - l)) $((il - L96)) 2
quit_app

# --- a change of resolution that leaves the widget off the screen ---
# Xvfb's one screen size cannot change, so the change is made in a Wine virtual desktop of the same
# size, through the display settings call a user's change goes through; the widget learns of it from
# the WM_DISPLAYCHANGE that Wine sends.
set_registry 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 96
set_registry 'HKCU\Software\Wine\Explorer' Desktop REG_SZ Default
set_registry 'HKCU\Software\Wine\Explorer\Desktops' Default REG_SZ 1280x800
write_settings 1100 700
start_app || { finish; exit 1; }
before=$(winctl info Tessaly)
check "in the virtual desktop it opens at the stored place (1100, 700)" [ "$(rect | cut -d' ' -f1,2)" = "1100 700" ]
check "the resolution changes to 800x600" winctl resize 800 600
widget_changed_from "$before" 10
read -r al at ar ab < <(winctl workarea)
read -r l t r b < <(rect)
echo "after the change: work area $al $at $ar $ab, widget $l $t $r $b"
check "the widget, left off the screen, comes back with its whole first row on the new work area" \
  [ "$l" -ge "$al" -a "$r" -le "$ar" -a "$t" -ge "$at" -a $((t + ROW96)) -le "$ab" ]
# Across the screen exactly centred. Down it, Wine's virtual desktop still reports the old height of
# its work area (minus its taskbar) while WM_DISPLAYCHANGE is handled, so only the above is checked.
check "centred across the new screen ($l)" [ "$l" -eq $((al + (ar - al - (r - l)) / 2)) ]
check "the settings file keeps the stored place" [ "$(ini_value posleft) $(ini_value postop)" = "1100 700" ]
before=$(winctl info Tessaly)
winctl resize 1280 800 || fail "back to 1280x800"
check "back at 1280x800, a widget that can be grabbed stays where it is" \
  [ "$(rect | cut -d' ' -f1,2)" = "$l $t" ]
quit_app
check "quitting stores where it came back to" [ "$(ini_value posleft) $(ini_value postop)" = "$l $t" ]
finish

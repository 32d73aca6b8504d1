#!/usr/bin/env bash
# The options dialog, driven with the real pointer and keyboard: it opens centred with the current
# size; 10, 200 and "010" are applied at once, stored as "fsize" and make the widget shrink or grow
# on screen; 9, 201, an empty box and a number too long for an int get the warning, the box keeps
# the text and the keyboard, and nothing changes; Cancel after a refusal keeps the old size also
# through a later layout.
source "$(dirname "$0")/lib.sh"

click_size_box() { click_into 选项 "$IDC_FONT_SIZE"; }
size_box() { winctl text 选项 "$IDC_FONT_SIZE"; }
# Replaces the box's text as typed keys do, then presses Enter (the default button, OK).
type_size() {
  click_size_box
  press_keys End shift+Home BackSpace
  [ -z "$1" ] || type_text "$1"
}
enter_size() { type_size "$1"; press_keys Return; }
settled() {  # waits for the layout after the dialog, then prints the widget's rectangle
  widget_changed_from "$1" 5 || true
  wait_for 5 widget_steady || true
  rect
}

printf '生日,2020-05-20\r\n新年,2030-01-01\r\n' | write_items_gbk
start_app || { finish; exit 1; }
read -r l20 t20 r20 b20 < <(rect)

# It opens with the current size (the default 20), centred on the widget.
open_options
check "the dialog opens with the current size" [ "$(size_box)" = 20 ]
read -r _ dl dt dr db _ <<<"$DIALOG"
check "the dialog is centred on the widget" \
  [ $(((dl + dr) / 2 - (l20 + r20) / 2)) -ge -2 -a $(((dl + dr) / 2 - (l20 + r20) / 2)) -le 2 \
    -a $(((dt + db) / 2 - (t20 + b20) / 2)) -ge -2 -a $(((dt + db) / 2 - (t20 + b20) / 2)) -le 2 ]
press_keys Escape
check "Esc closes the dialog" options_closed
check "Esc stores nothing" [ -z "$(ini_value fsize)" ]

# "010" is read as 10: applied at once, stored, the widget shrinks on screen.
outside_x=$((l20 + (r20 - l20) * 3 / 4)) outside_y=$((t20 + 4))  # inside the widget at 20 only
check "at size 20 the widget covers a spot near its right end" [ "$(pixel $outside_x $outside_y)" != 000000 ]
info=$(winctl info Tessaly)
open_options
enter_size 010
check "010 is accepted" options_closed
check "010 is stored as fsize=10" [ "$(ini_value fsize)" = 10 ]
read -r l10 t10 r10 b10 < <(settled "$info")
check "the widget shrinks at 10 ($((r10 - l10))x$((b10 - t10)) from $((r20 - l20))x$((b20 - t20)))" \
  [ $((r10 - l10)) -lt $((r20 - l20)) -a $((b10 - t10)) -lt $((b20 - t20)) -a $((b10 - t10)) -gt 0 ]
check "its top-left corner stays where it was" [ "$l10 $t10" = "$l20 $t20" ]
check "the spot it no longer covers shows the desktop" [ "$(pixel $outside_x $outside_y)" = 000000 ]

# Refused values: the warning, then the box keeps its text and gets the keyboard back (OK is
# clicked, so the keyboard was on the button before); nothing changes.
for value in 9 201 '' 99999999999; do
  open_options
  type_size "$value"
  options_ok
  check "'$value' brings the warning" wait_message
  check "'$value': the warning's text" [ "$MESSAGE" = "字体大小必须是 10 到 200 之间的整数。" ]
  answer_message Return
  check "'$value': the warning closes" message_gone
  check "'$value': the dialog stays open" options_open
  check "'$value': the box keeps the refused text" [ "$(size_box)" = "$value" ]
  type_text 5
  check "'$value': the keyboard is back in the box" [ "$(size_box)" = "${value}5" ]
  press_keys Escape
  check "'$value': Cancel closes the dialog" options_closed
  check "'$value': fsize is unchanged" [ "$(ini_value fsize)" = 10 ]
done
sleep 0.5  # time for a layout that must not come
check "after the refusals the widget is as it was" [ "$(rect)" = "$l10 $t10 $r10 $b10" ]

# A later layout (OK in the editor) keeps the size in force.
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
dialog_shown 纪念日 10
editor_ok
check "the editor closes with OK" dialog_gone 纪念日 5
sleep 1  # time for a layout that must not change the size
check "after the editor's OK the widget keeps size 10" [ "$(rect)" = "$l10 $t10 $r10 $b10" ]

# OK with the unchanged value stores it again (the stored value was changed behind its back).
sed -i 's/^fsize=.*/fsize=37/' "$(ini_file)"
open_options
check "the box shows the size in force" [ "$(size_box)" = 10 ]
press_keys Return
check "OK with the same value closes the dialog" options_closed
check "the same value is stored again" [ "$(ini_value fsize)" = 10 ]
sleep 0.5  # time for a layout that must not change the size
check "the widget keeps its size" [ "$(rect)" = "$l10 $t10 $r10 $b10" ]

# Typed 20 and 10 again: the layouts are the same as before.
info=$(winctl info Tessaly)
open_options
enter_size 20
check "20 is accepted" options_closed
check "at 20 the widget has its first size again" [ "$(settled "$info")" = "$l20 $t20 $r20 $b20" ]
info=$(winctl info Tessaly)
open_options
enter_size 10
check "10 is accepted" options_closed
check "at 10 the widget has its small size again" [ "$(settled "$info")" = "$l10 $t10 $r10 $b10" ]

# 200, the largest size: the widget grows far past its size at 20.
info=$(winctl info Tessaly)
open_options
enter_size 200
check "200 is accepted" options_closed
check "200 is stored" [ "$(ini_value fsize)" = 200 ]
read -r l t r b < <(settled "$info")
check "the widget grows at 200 ($((b - t)) px high)" [ $((b - t)) -gt $((5 * (b20 - t20))) ]
check "the spot it covers again is drawn" [ "$(pixel $outside_x $outside_y)" != 000000 ]

quit_app || true
check "the size survives the program's end" [ "$(ini_value fsize)" = 200 ]
finish

#!/usr/bin/env bash
# Files as a user meets them at their edges: --list keeps its columns for a name with a broken
# character, says why a list far too large is not read and fails on a full device; such a list is
# named in the start-up balloon; a killed save's temporary file is gone after a start; a list that is
# a symbolic link is saved through to its file; a save blocked by a folder says so.
source "$(dirname "$0")/lib.sh"

ITEMS=$(items_file)
TMP_SUFFIX=.tessaly.tmp
cp "$EXE" "$APP_DIR/Tessaly.exe"
list() { (cd "$APP_DIR" && "$WINE" Tessaly.exe --list "$@" | tr -d '\r'); }

# --- the listing ---
# A name ending in a lone GBK lead byte: it becomes "?" and the tab after it stays.
printf 'x\x81,2099-01-01\r\n\xC9\xFA\xC8\xD5,2099-01-01\r\n' | write_items_raw
status=0
listing=$(list 2>/dev/null) || status=$?
check "--list ends with exit code 0 (was $status)" [ "$status" -eq 0 ]
check "a broken last character is '?' and the kind stays in column 2 ($listing)" \
  eval '[[ "$(sed -n 1p <<<"$listing")" == "x?	upcoming	"* ]]'
check "the next line is whole" eval '[[ "$(sed -n 2p <<<"$listing")" == "生日	upcoming	"* ]]'
status=0
(cd "$APP_DIR" && "$WINE" Tessaly.exe --list >/dev/full 2>/dev/null) || status=$?
check "--list to a full device ends with a non-zero exit code (was $status)" [ "$status" -ne 0 ]

# One line of 5 MB: more than is ever read, so it is said rather than shown as an empty list.
{ printf 'a,'; head -c $((5 * 1024 * 1024)) /dev/zero | tr '\0' x; } | write_items_raw
status=0
message=$(list 2>&1 >/dev/null) || status=$?
check "--list of a list too large ends with exit code 1 (was $status)" [ "$status" -eq 1 ]
check "and says it is too large on standard error ($message)" grep -q '文件太大' <<<"$message"

# --- the start ---
touch "$ITEMS$TMP_SUFFIX"
start_app || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "the start-up balloon says the list is too large ($note)" grep -q '文件太大' <<<"$note"
check "and names the file" grep -qF 'Tessaly_items.txt' <<<"$note"
check "a killed save's temporary file is gone after the start" wait_for 10 eval '[ ! -e "$ITEMS$TMP_SUFFIX" ]'
quit_app || true

# --- saving ---
# The list is a symbolic link to a file in another folder (a synced folder, say).
mkdir "$APP_ROOT/synced"
printf '生日,2099-01-01\r\n' | iconv -f UTF-8 -t CP936 >"$APP_ROOT/synced/list.txt"
rm -f "$ITEMS"
ln -s "$APP_ROOT/synced/list.txt" "$ITEMS"
start_app || { finish; exit 1; }
open_editor
click_box
press_keys ctrl+End Return
type_text '元旦,2098-01-01'
editor_ok
check "OK saves the linked list" editor_closed
check "the list is still a symbolic link" [ -L "$ITEMS" ]
check "its file holds the new line" grep -q '2098-01-01' "$APP_ROOT/synced/list.txt"

# A folder where the new file must go: the warning names that reason, nothing is lost.
mkdir "$APP_ROOT/synced/list.txt$TMP_SUFFIX"
before=$(cat "$APP_ROOT/synced/list.txt")
open_editor
click_box
press_keys ctrl+End Return
type_text '新年,2097-01-01'
editor_ok
check "a blocked save brings a warning" wait_message
check "the warning says a folder is in the way ($MESSAGE)" grep -q '已有同名的文件夹' <<<"$MESSAGE"
answer_message Return
check "the warning closes" message_gone
check "the editor stays open with the typed text" eval 'editor_open && box_text | grep -q 2097-01-01'
check "the file is unchanged" [ "$(cat "$APP_ROOT/synced/list.txt")" = "$before" ]
editor_cancel
editor_closed || true

quit_app || true
finish

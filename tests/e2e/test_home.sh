#!/usr/bin/env bash
# A home for the list, as a user meets it: a program folder that cannot be written (a read-only
# mount, as a stick with its write protection on) keeps the settings and a copy of the list in the
# user's application data, and the listing reads that copy; a "portable" marker keeps them beside the
# program and says that they cannot be saved; a start from a zip viewer's temporary folder is refused
# and writes nothing; the list's own folder (the option "itemdir"), chosen in the system's folder
# dialog, gets a copy of the list and is where the editor saves; a folder that is gone is told and the
# setting kept; a folder that cannot take the copy is told, with why, and the old one kept; "默认"
# brings the list back; the installer installs silently for the user alone, its shortcut starts the
# program, an upgrade and the uninstaller end a running widget first, and the uninstaller leaves the
# user's list.
source "$(dirname "$0")/lib.sh"
: "${TESSALY_SOURCE:?TESSALY_SOURCE must name the source folder}"
: "${TESSALY_VERSION:?TESSALY_VERSION must hold the CMake project version}"

# The installer and the application-data home change the prefix: a copy of its own.
use_prefix_copy
RO_MOUNT=
unmount_ro() { if [ -n "$RO_MOUNT" ]; then umount "$RO_MOUNT" 2>/dev/null || true; RO_MOUNT=; fi; }
trap 'unmount_ro; cleanup; end_prefix_copy' EXIT

env_folder() { unix_path "$("$WINE" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')"; }
APPDATA_DIR=$(env_folder APPDATA)
TEMP_DIR=$(env_folder TEMP)
LOCAL_DIR=$(env_folder LOCALAPPDATA)
check "the prefix names its application-data and temporary folders" \
  eval '[ -d "$APPDATA_DIR" ] && [ -d "$TEMP_DIR" ] && [ -d "$LOCAL_DIR" ]'

# Starts the program already in APP_DIR (a read-only folder takes no copy) and waits for its widget.
start_in_place() {
  park_pointer
  (cd "$APP_DIR" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
  APP_PID=$!
  WIDGET=$(winctl wait Tessaly 60) || { fail "the widget window appeared"; return 1; }
  wait_for 10 tray_icon_present || fail "the tray icon appeared"
}
# Clicks the middle of a dialog's control, found by its id.
gbk_file_has() { iconv -f CP936 -t UTF-8 "$1" 2>/dev/null | grep -qF "$2"; }

# --- a program folder that cannot be written -----------------------------------------------------
SOURCE_DIR="$APP_ROOT/stick"
APP_DIR="$APP_ROOT/只读 U 盘"
mkdir -p "$SOURCE_DIR" "$APP_DIR"
cp "$EXE" "$SOURCE_DIR/Tessaly.exe"
printf '结婚纪念日,2020-05-20\r\n' | iconv -f UTF-8 -t CP936 >"$SOURCE_DIR/Tessaly_items.txt"
printf '[Tessaly]\r\nfsize=30\r\n' >"$SOURCE_DIR/Tessaly.ini"
cp "$SOURCE_DIR/Tessaly_items.txt" "$APP_ROOT/original.txt"
# Root writes anywhere a permission bit forbids; a read-only mount refuses root too, as write-protected
# media refuse every user.
if mount --bind "$SOURCE_DIR" "$APP_DIR" && RO_MOUNT=$APP_DIR && mount -o remount,bind,ro "$APP_DIR" &&
   ! touch "$APP_DIR/probe" 2>/dev/null; then
  pass "the program folder is a read-only mount"
else
  fail "the program folder could be made read-only (a bind mount needs root)"
  finish
  exit 1
fi
start_in_place || { finish; exit 1; }
note=$(winctl balloon 20) || note=
check "a balloon says the folder cannot be written and the list was copied ($note)" \
  eval 'grep -q "程序所在的文件夹不可写" <<<"$note" && grep -q "已复制" <<<"$note"'
HOME_DIR=$(ls -d "$APPDATA_DIR/Tessaly/只读 U 盘-"* 2>/dev/null | head -1)
check "the home is <app data>\\Tessaly\\<folder name>-<hash> (${HOME_DIR#"$APPDATA_DIR"/})" \
  eval '[ -d "$HOME_DIR" ] && [[ $(basename "$HOME_DIR") =~ -[0-9a-f]{8}$ ]]'
check "the list is copied there byte for byte" cmp -s "$APP_ROOT/original.txt" "$HOME_DIR/Tessaly_items.txt"
check "so are the settings" grep -q "fsize=30" "$HOME_DIR/Tessaly.ini"
check "the list beside the program stays" cmp -s "$APP_ROOT/original.txt" "$SOURCE_DIR/Tessaly_items.txt"
about=$(about_text)
home_win=$(windows_path "$HOME_DIR")
check "About names both files in the home" \
  eval 'grep -qF "$home_win\\Tessaly_items.txt" <<<"$about" && grep -qF "$home_win\\Tessaly.ini" <<<"$about"'
quit_app || fail "the program ended"
check "the place is stored in the home's settings" grep -q "posleft=" "$HOME_DIR/Tessaly.ini"
check "nothing was written beside the program" eval '[ "$(ls "$SOURCE_DIR" | sort | paste -sd" ")" = "Tessaly.exe Tessaly.ini Tessaly_items.txt" ]'
# The home's list changes; later starts read it and never copy over it.
printf '结婚纪念日,2020-05-20\r\n新家,2024-10-01\r\n' | iconv -f UTF-8 -t CP936 >"$HOME_DIR/Tessaly_items.txt"
listing=$(cd "$APP_DIR" && "$WINE" Tessaly.exe --list 2>/dev/null | tr -d '\r')
check "--list reads the home's list" grep -q "^新家	" <<<"$listing"
start_in_place || { finish; exit 1; }
quit_app || fail "the program ended"
check "the home's list is never copied over" gbk_file_has "$HOME_DIR/Tessaly_items.txt" "新家"

# --- the portable marker --------------------------------------------------------------------------
touch "$SOURCE_DIR/portable"
start_in_place || { finish; exit 1; }
note=$(winctl balloon 20) || note=
check "with the marker a balloon says the files stay and cannot be saved ($note)" \
  eval 'grep -q "portable" <<<"$note" && grep -q "无法保存" <<<"$note"'
about=$(about_text)
app_win=$(windows_path "$APP_DIR")
check "About names the files beside the program" grep -qF "$app_win\\Tessaly_items.txt" <<<"$about"
quit_app || fail "the program ended"
unmount_ro

# --- a zip viewer's temporary folder --------------------------------------------------------------
ZIP_DIR="$TEMP_DIR/Rar\$EXa1234.5678/Tessaly-$TESSALY_VERSION"
mkdir -p "$ZIP_DIR"
cp "$EXE" "$ZIP_DIR/Tessaly.exe"
homes_before=$(ls "$APPDATA_DIR/Tessaly" | wc -l)
(cd "$ZIP_DIR" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
APP_PID=$!
wait_message 30 || MESSAGE=
check "from the temporary folder a message asks to unpack first ($MESSAGE)" \
  [ "$MESSAGE" = "请先把 Tessaly 解压到一个文件夹，再运行其中的 Tessaly.exe。" ]
check "no widget is shown" eval '[ "$(window_count Tessaly)" -le 1 ]'
if control_rect Tessaly "$IDCANCEL" >/dev/null; then click_control Tessaly "$IDCANCEL"; else click_control Tessaly "$IDOK"; fi
check "the program ends after the message" wait_for 15 eval '! app_running'
APP_PID=
check "nothing was written in the temporary folder" eval '[ "$(ls -A "$ZIP_DIR")" = Tessaly.exe ]'
check "no home was made for it" [ "$(ls "$APPDATA_DIR/Tessaly" | wc -l)" = "$homes_before" ]
rm -rf "$TEMP_DIR/Rar\$EXa1234.5678"

# --- the list's own folder ------------------------------------------------------------------------
APP_DIR="$APP_ROOT/program"
SYNC_DIR="$APP_ROOT/同步 한국어"
mkdir -p "$APP_DIR" "$SYNC_DIR"
printf '书架上的,2030-01-01\r\n' | write_items_gbk
cp "$(items_file)" "$APP_ROOT/beside.txt"
start_app || { finish; exit 1; }
one_row=$(widget_height)
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null
dialog_shown 选项 10 || fail "the options dialog opened"
check "the options show the program's folder for the list" [ "$(winctl text 选项 "$IDC_ITEM_DIR")" = "$(windows_path "$APP_DIR")" ]
click_control 选项 "$IDC_ITEM_DIR_CHANGE"  # 更改...
check "更改... opens the system's folder dialog" dialog_shown 纪念日文件位置 10
sync_win=$(windows_path "$SYNC_DIR")
type_text "$sync_win"
press_keys Return
dialog_gone 纪念日文件位置 10 || fail "the folder dialog closed"
check "the options show the chosen folder" wait_for 5 eval '[ "$(winctl text 选项 "$IDC_ITEM_DIR")" = "$sync_win" ]'
click_control 选项 "$IDOK"  # 确定
dialog_gone 选项 5 || fail "the options dialog closed"
# Korean and Chinese together: no code page holds them, so the escaped form is stored.
sync_escaped=$(perl -CS -lpe 'utf8::encode($_); s/([^\x21-\x7E]|%)/sprintf("%%%02X", ord($1))/ge' <<<"$sync_win")
setting_is() { tr -d '\r' <"$(ini_file)" | grep -qxF "itemdir=$1"; }
check "the folder is stored as itemdir, in a form any code page holds" setting_is "u8:$sync_escaped"
check "the list is copied into the folder, which had none" cmp -s "$APP_ROOT/beside.txt" "$SYNC_DIR/Tessaly_items.txt"
check "About names the list in its own folder" grep -qF "$sync_win\Tessaly_items.txt" <<<"$(about_text)"
open_editor || fail "the editor opened"
click_box
press_keys ctrl+End
type_text "新年,2031-01-01"
editor_ok
editor_closed || fail "the editor closed"
check "the editor saves the list in its own folder" gbk_file_has "$SYNC_DIR/Tessaly_items.txt" "新年,2031-01-01"
check "the list beside the program stays as it was" cmp -s "$APP_ROOT/beside.txt" "$(items_file)"
two_rows=$(widget_height)
check "the widget shows the saved list" [ "$two_rows" -gt "$one_row" ]
quit_app || fail "the program ended"

# A folder that is gone (the drive unplugged): told once, the widget empty, the setting kept.
mv "$SYNC_DIR" "$APP_ROOT/unplugged"
start_app || { finish; exit 1; }
note=$(winctl balloon 20) || note=
check "a balloon says the list's folder is gone ($note)" grep -q "找不到纪念日文件所在的文件夹" <<<"$note"
check "the widget shows its empty state, not the last list" [ "$(widget_height)" -lt "$two_rows" ]
quit_app || fail "the program ended"
check "the setting is kept" setting_is "u8:$sync_escaped"
mv "$APP_ROOT/unplugged" "$SYNC_DIR"

# "默认" puts the list back beside the settings; the list there is used as it is.
start_app || { finish; exit 1; }
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null
dialog_shown 选项 10 || fail "the options dialog opened"
check "the options show the list's folder" [ "$(winctl text 选项 "$IDC_ITEM_DIR")" = "$sync_win" ]
click_control 选项 "$IDC_ITEM_DIR_DEFAULT"  # 默认
check "after 默认 they show the program's folder" wait_for 5 eval '[ "$(winctl text 选项 "$IDC_ITEM_DIR")" = "$(windows_path "$APP_DIR")" ]'
click_control 选项 "$IDOK"
dialog_gone 选项 5 || fail "the options dialog closed"
check "the option is removed from the settings" eval '! grep -q "^itemdir=" "$(ini_file)"'
check "the widget shows the list beside the program again" wait_for 5 eval '[ "$(widget_height)" = "$one_row" ]'
check "neither list is overwritten" eval 'cmp -s "$APP_ROOT/beside.txt" "$(items_file)" &&
  gbk_file_has "$SYNC_DIR/Tessaly_items.txt" "新年,2031-01-01"'

# A folder that cannot take the copy (gone between the choice and OK, as a network drive may):
# told why, and the old folder kept.
GONE_DIR="$APP_ROOT/gone soon"
mkdir -p "$GONE_DIR"
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null
dialog_shown 选项 10 || fail "the options dialog opened"
click_control 选项 "$IDC_ITEM_DIR_CHANGE"  # 更改...
dialog_shown 纪念日文件位置 10 || fail "the folder dialog opened"
type_text "$(windows_path "$GONE_DIR")"
press_keys Return
dialog_gone 纪念日文件位置 10 || fail "the folder dialog closed"
wait_for 5 eval '[ "$(winctl text 选项 "$IDC_ITEM_DIR")" = "$(windows_path "$GONE_DIR")" ]' || fail "the options show the chosen folder"
rmdir "$GONE_DIR"
click_control 选项 "$IDOK"  # 确定
check "a copy that fails is told" wait_message 10
check "with its reason ($MESSAGE)" eval 'grep -q "无法把纪念日文件复制到新的位置" <<<"$MESSAGE" && grep -q "无法访问" <<<"$MESSAGE"'
answer_message Return
check "the options show the old folder again" wait_for 5 eval '[ "$(winctl text 选项 "$IDC_ITEM_DIR")" = "$(windows_path "$APP_DIR")" ]'
press_keys Escape
dialog_gone 选项 5 || fail "the options dialog closed"
check "no folder is saved" eval '! grep -q "^itemdir=" "$(ini_file)"'
quit_app || fail "the program ended"

# --- the installer ------------------------------------------------------------------------------
SETUP="$APP_ROOT/setup.exe"
{ printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$TESSALY_VERSION/" "$TESSALY_SOURCE/docs/README.txt"; } >"$APP_ROOT/README.txt"
# The installer is built for the program under test: a 64-bit one where 32-bit programs cannot run.
target_arch=x86-unicode
x86_64-w64-mingw32-objdump -f "$EXE" | grep -q 'x86-64' && target_arch=amd64-unicode
check "the installer is made ($target_arch)" makensis -V1 -DTARGET="$target_arch" -DVERSION="$TESSALY_VERSION" -DEXE="$EXE" -DREADME="$APP_ROOT/README.txt" \
  -DICON="$TESSALY_SOURCE/res/Tessaly.ico" -DOUTFILE="$SETUP" "$TESSALY_SOURCE/scripts/installer.nsi"
"$WINE" "$SETUP" /S >/dev/null 2>&1 || fail "the silent install ends well"
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly'
reg_value() { "$WINE" reg query "$UNINSTALL" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
INSTALL_DIR="$LOCAL_DIR/Programs/Tessaly"
install_win=$(windows_path "$INSTALL_DIR")
check "the program is installed in the user's Programs folder" cmp -s "$EXE" "$INSTALL_DIR/Tessaly.exe"
check "with its README and uninstaller" eval '[ -f "$INSTALL_DIR/README.txt" ] && [ -f "$INSTALL_DIR/uninstall.exe" ]'
check "the uninstall entry names the folder ($(reg_value InstallLocation))" [ "$(reg_value InstallLocation)" = "$install_win" ]
check "and the name, version, icon and uninstaller" eval '[ "$(reg_value DisplayName)" = Tessaly ] &&
  [ "$(reg_value DisplayVersion)" = "$TESSALY_VERSION" ] && [ "$(reg_value DisplayIcon)" = "$install_win\\Tessaly.exe" ] &&
  [ "$(reg_value UninstallString)" = "\"$install_win\\uninstall.exe\"" ] && [ "$(reg_value NoModify)" = 0x1 ] &&
  [ "$(reg_value NoRepair)" = 0x1 ]'
LINK="$APPDATA_DIR/Microsoft/Windows/Start Menu/Programs/Tessaly.lnk"
target=$(winctl shortcut "$(windows_path "$LINK")" | head -1)
check "the Start-menu shortcut leads to the installed program ($target)" [ "$target" = "$install_win\\Tessaly.exe" ]
check "no start with Windows unless asked" eval '! "$WINE" reg query "HKCU\Software\Microsoft\Windows\CurrentVersion\Run" 2>/dev/null | grep -qi tessaly'
# The program started from the shortcut's target keeps its list beside itself: the folder is the user's.
park_pointer
(cd "$(unix_path "${target%\\*}")" && exec "$WINE" "$target" >/dev/null 2>&1) &
APP_PID=$!
check "the program starts from the shortcut's target" eval 'winctl wait Tessaly 60 >/dev/null'
wait_for 10 tray_icon_present || true
quit_app || fail "the program ended"
printf '生日,2030-01-01\r\n' | iconv -f UTF-8 -t CP936 >"$INSTALL_DIR/Tessaly_items.txt"
check "its settings are beside it" [ -f "$INSTALL_DIR/Tessaly.ini" ]
"$WINE" "$INSTALL_DIR/Tessaly.exe" --quit >/dev/null 2>&1 && status=0 || status=$?
check "--quit with no widget running ends at once, with 0 ($status), and starts none" \
  eval '[ "$status" = 0 ] && [ "$(window_count Tessaly)" = 0 ]'

# An upgrade over a running widget: the installer ends it and its program is replaced.
start_installed() {
  [ "$(window_count Tessaly)" = 0 ] || return 1  # a widget still there would take the start over
  [ -z "$APP_PID" ] || OTHER_PIDS+=("$APP_PID")
  (cd "$INSTALL_DIR" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
  APP_PID=$!
  winctl wait Tessaly 60 >/dev/null && wait_for 10 tray_icon_present
}
NEW_EXE="$APP_ROOT/Tessaly-new.exe"
{ cat "$EXE"; printf 'a later build'; } >"$NEW_EXE"  # bytes past the image: the same program, another file
makensis -V1 -DTARGET="$target_arch" -DVERSION="$TESSALY_VERSION" -DEXE="$NEW_EXE" -DREADME="$APP_ROOT/README.txt" \
  -DICON="$TESSALY_SOURCE/res/Tessaly.ico" -DOUTFILE="$APP_ROOT/setup-new.exe" "$TESSALY_SOURCE/scripts/installer.nsi" ||
  fail "the later installer is made"
check "the installed program runs again" start_installed
"$WINE" "$APP_ROOT/setup-new.exe" /S >/dev/null 2>&1 || fail "the silent install over the running widget ends well"
widget_gone() { ! app_running && [ "$(window_count Tessaly)" = 0 ]; }
check "the installer over a running widget ends it" wait_for 30 widget_gone
check "and its program is the new one" cmp -s "$NEW_EXE" "$INSTALL_DIR/Tessaly.exe"

# The uninstaller copies itself to the temporary folder and goes on from there: wait for its work.
check "the new program runs" start_installed
"$WINE" "$INSTALL_DIR/uninstall.exe" /S >/dev/null 2>&1 &
uninstalled() {
  [ ! -e "$INSTALL_DIR/Tessaly.exe" ] && [ ! -e "$INSTALL_DIR/uninstall.exe" ] && [ -z "$(reg_value DisplayName)" ]
}
check "the silent uninstall removes the program, its uninstaller and its entry" wait_for 60 uninstalled
check "and ends the widget that was running" wait_for 10 widget_gone
check "and the shortcut" wait_for 10 eval '[ ! -e "$LINK" ]'
check "the user's list and settings stay, in their folder" \
  eval 'gbk_file_has "$INSTALL_DIR/Tessaly_items.txt" "生日" && [ -f "$INSTALL_DIR/Tessaly.ini" ] && [ ! -e "$INSTALL_DIR/README.txt" ]'
finish

#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the widget (the release build, the one the package holds;
# its 64-bit twin where 32-bit Wine cannot run) under Wine from build/run, where the program,
# its item file and its settings file live. With $DISPLAY set the widget appears there; without one
# a virtual display is started, a screenshot saved and its path printed, and the program ended.
set -euo pipefail
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"

build_windows
prepare_prefix

RUN_DIR="$BUILD/run"
mkdir -p "$RUN_DIR"
cp "$WIN_BUILD/Tessaly.exe" "$RUN_DIR/Tessaly.exe"

# A newcomer's first list: a coming day, today's anniversary (no year: it comes back every year)
# and past ones. GBK, as the program writes it.
if [ ! -f "$RUN_DIR/Tessaly_items.txt" ]; then
  iconv -f UTF-8 -t CP936 > "$RUN_DIR/Tessaly_items.txt" <<ITEMS
下次旅行,$(date -d '+12 days' +%Y-%m-%d)
妈妈生日,$(date +%-m月%-d日)
新年,01-01
相识纪念日,$(date -d '-1000 days' +%Y-%m-%d)
毕业,2020-06-30
ITEMS
fi

cd "$RUN_DIR"
if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE" Tessaly.exe
fi

start_display 95
trap 'stop_display; "$(wineserver_cmd)" -k 2>/dev/null || true' EXIT
# A new display has the pointer at its centre, over the widget, whose row tooltip would then cover the
# screenshot: the pointer goes to the far corner first.
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
xdotool mousemove $((screen_w - 1)) $((screen_h - 1))
"$WINE" Tessaly.exe >/dev/null 2>&1 &
app=$!
if ! "$WINE" "$WIN_BUILD/winctl.exe" wait Tessaly 60 >/dev/null 2>&1; then
  echo "The widget did not appear." >&2
  exit 1
fi
sleep 2
import -window root "$RUN_DIR/screenshot.png"
echo "$RUN_DIR/screenshot.png"
if memory=$("$WINE" "$WIN_BUILD/winctl.exe" memory Tessaly 2>/dev/null | tr -d '\r'); then
  read -r current peak <<<"$memory"
  echo "Working set: $current KiB, peak $peak KiB"
fi
"$WINE" "$WIN_BUILD/winctl.exe" command Tessaly 32776 >/dev/null 2>&1 || true
wait "$app" || true

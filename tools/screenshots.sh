#!/usr/bin/env bash
# Saves screenshots of profiler.exe under Wine and Xvfb into docs/screenshots/: the main window with
# the demo profiles, the tray's popup menu with the Launch submenu open, the About box and the
# profile editor, run from C:\Padwise in the build's prefix. DPI=144 (or 192) takes them at that many
# dots per inch into *-144dpi.png (*-192dpi.png), on a virtual desktop as much larger. Uses the
# 64-bit build (make build) and its shell_poke helper, which takes commands and messages by their
# names in resources/profiler_ids.h and the platform headers (CMD_ABOUT, WM_RBUTTONUP) and maps them
# through the headers it is built with.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
bin="$root/build/win64/bin"
out="$root/docs/screenshots"
[ -x "$bin/profiler.exe" ] && [ -x "$bin/shell_poke.exe" ] || { echo "build win64 first (make)" >&2; exit 1; }
dpi=${DPI:-96}
suffix=$([ "$dpi" = 96 ] || echo "-${dpi}dpi")
# The virtual desktop grows with the DPI (1024x768 at 96), so that larger windows fit on it whole.
desktop="$((1024 * dpi / 96))x$((768 * dpi / 96))"
[ "$dpi" -le 96 ] || WINE_SCREEN_SIZE="$((1280 * dpi / 96))x$((1024 * dpi / 96))"
wine_headless_session "$root/build/win64"
wine_set_dpi "$dpi"
wine_set_desktop_size "$desktop"
# The desktop that reg.exe brought up has the old size: start the server afresh to make a new one.
wineserver -k && wineserver -w
wine_start_server
wine_demo_folder
demo=$WINE_DEMO_DIR
mkdir -p "$out"
cp "$bin/profiler.exe" "$bin/shell_poke.exe" "$demo/"
cp "$here/demo/profiler.INI" "$demo/profiler.INI"
cd "$demo"
poke() { wine shell_poke.exe "$@" 2>/dev/null | tr -d '\r'; }
shoot() {   # name x y w h
  import -window root -crop "$4x$5+$2+$3" +repage "$out/$1$suffix.png"
  echo "saved $out/$1$suffix.png"
}
wine profiler.exe >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wine_set_dpi 96; wine_set_desktop_size 1024x768; wine_stop' EXIT
poke wait
sleep 1

poke command CMD_PROFILE_EDIT  # show the window
sleep 0.5
poke select 1
sleep 0.5
shoot main $(poke rect Padwise)

poke command IDC_CLOSE         # hide it again
poke tray WM_RBUTTONUP 640 420 # right click on the tray icon
sleep 0.7
poke keys l                   # open "Launch A Game"
sleep 0.7
read -r x y w h <<<"$(poke menurect)"
shoot menu $((x - 8)) $((y - 8)) $((w + 16)) $((h + 16))
poke keys '~~'

poke command CMD_ABOUT
sleep 1
shoot about $(poke rect About)
poke keys '~'
sleep 0.5

if [ "${1:-}" != "--no-editor" ]; then
  poke command CMD_PROFILE_EDIT
  sleep 0.3
  poke select 0
  poke command IDC_EDIT         # edit the selected profile
  sleep 1
  shoot editor $(poke rect "Edit Game profile") || true
  poke keys '~'
  sleep 0.3
fi

#!/usr/bin/env bash
# Saves a screenshot of fitkit.exe's setup dialog under Wine and Xvfb into
# docs/screenshots/fitkit.png: the sample INF and its pad's device id, no such device present, run
# from C:\Padwise in the build's prefix. DPI=144 takes it at 144 dots per inch into fitkit-144dpi.png.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
bin="$root/build/win64/bin"
out="$root/docs/screenshots"
[ -x "$bin/fitkit.exe" ] || { echo "build win64 first (make)" >&2; exit 1; }
dpi=${DPI:-96}
name=fitkit$([ "$dpi" = 96 ] || echo "-${dpi}dpi")
wine_headless_session "$root/build/win64"
wine_set_dpi "$dpi"
wine_demo_folder
demo=$WINE_DEMO_DIR
mkdir -p "$out"
cp "$bin/fitkit.exe" "$root/fitkit/sample/sample_pad.inf" "$demo/"
cd "$demo"
wine fitkit.exe sample_pad.inf 'USB\VID_1F3A&PID_240B' >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; rm -f "$demo"/*.png; wine_set_dpi 96; wine_stop' EXIT
# Wait until the desktop shows the dialog (the first start of a prefix takes a while).
for _ in $(seq 1 60); do
  sleep 0.5
  import -window root "$demo/screen.png"
  [ "$(convert "$demo/screen.png" -format '%k' info:)" -gt 100 ] && break
done
sleep 1
# The dialog sits in the desktop's top-left corner: cut away the plain desktop around it.
import -window root "$demo/screen.png"
convert "$demo/screen.png" -crop 1024x768+0+0 +repage "$demo/desktop.png"
desktop=$(convert "$demo/desktop.png" -format '%[pixel:p{1000,700}]' info:)
convert "$demo/desktop.png" -bordercolor "$desktop" -border 1 -trim +repage "$out/$name.png"
echo "saved $out/$name.png"

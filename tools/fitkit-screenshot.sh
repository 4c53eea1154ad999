#!/usr/bin/env bash
# Saves a screenshot of fitkit.exe's setup dialog under Wine and Xvfb into
# docs/screenshots/fitkit.png: the sample INF and its pad's device id, no such device present.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
bin="$root/build/win64/bin"
out="$root/docs/screenshots"
[ -x "$bin/fitkit.exe" ] || { echo "build win64 first (make)" >&2; exit 1; }
wine_headless_session "$root/build/win64"
demo="$root/build/fitkit-screenshot"
rm -rf "$demo" && mkdir -p "$demo" "$out"
cp "$bin/fitkit.exe" "$root/fitkit/sample/sample_pad.inf" "$demo/"
cd "$demo"
wine fitkit.exe sample_pad.inf 'USB\VID_1F3A&PID_240B' >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wine_stop' EXIT
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
convert "$demo/desktop.png" -bordercolor "$desktop" -border 1 -trim +repage "$out/fitkit.png"
echo "saved $out/fitkit.png"

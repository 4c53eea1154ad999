#!/usr/bin/env bash
# Starts dist/win64/profiler.exe under Wine beside a demo settings file, in a demo folder of the
# build tree. Without a display it runs under Xvfb and saves a screenshot to build/demo/screen.png.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
wine_env_init "$root/build/win64"
wine_ensure_prefix
demo="$root/build/demo"
rm -rf "$demo" && mkdir -p "$demo"
cp "$root/dist/win64/profiler.exe" "$demo/"
cp "$here/demo/profiler.INI" "$demo/profiler.INI"
headless=0
if [ -z "${DISPLAY:-}" ]; then headless=1; wine_start_display; fi
wineserver -p
trap wine_stop EXIT
cd "$demo"
wine profiler.exe &
pid=$!
if [ $headless = 1 ]; then
  sleep "${DEMO_SECONDS:-4}"
  import -window root "$demo/screen.png" 2>/dev/null && echo "screenshot: $demo/screen.png"
  kill $pid 2>/dev/null
fi
wait $pid
echo "profiler.exe exited with $?"

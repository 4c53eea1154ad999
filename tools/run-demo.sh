#!/usr/bin/env bash
# Starts dist/win64/profiler.exe under Wine from C:\Padwise in the build's prefix, beside the demo
# settings file, and starts it a second time as a user would: the second start shows the running
# instance's main window with the demo profiles. Without a display it runs under Xvfb and saves a
# screenshot of the Wine desktop (the window and the tray) to build/demo/screen.png.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
wine_env_init "$root/build/win64"
wine_ensure_prefix
out="$root/build/demo"
rm -rf "$out" && mkdir -p "$out"
headless=0
if [ -z "${DISPLAY:-}" ]; then headless=1; wine_start_display; fi
wine_start_server
trap wine_stop EXIT
wine_demo_folder
cp "$root/dist/win64/profiler.exe" "$here/demo/profiler.INI" "$WINE_DEMO_DIR/"
cd "$WINE_DEMO_DIR"
wine profiler.exe &
pid=$!
wine "$root/build/win64/bin/shell_poke.exe" wait >/dev/null 2>&1
wine profiler.exe
echo "second start exited with $?"
if [ $headless = 1 ]; then
  sleep "${DEMO_SECONDS:-2}"
  import -window root -crop 1024x768+0+0 +repage "$out/screen.png" 2>/dev/null &&
    echo "screenshot: $out/screen.png"
  wine profiler.exe /close
fi
wait $pid
echo "profiler.exe exited with $?"

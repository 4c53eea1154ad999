# Sourced by the Wine runner and the test session: one Wine prefix per build tree, made by copying
# a template prefix, a persistent wineserver and a virtual X display when there is none.
# Never touches the user's ~/.wine.

# Bump when the template's preparation changes, so existing build trees make a new one.
WINE_TEMPLATE_VERSION=3

# $1 = build directory; $2 = the prefix's architecture: win64 (the default: 64-bit Windows, where
# 32-bit programs run as under WoW64) or win32 (a pure 32-bit Windows). Each has its own template.
wine_env_init() {
  WINE_BUILD_DIR=$(cd "$1" && pwd)
  WINE_ARCH=${2:-${PADKIT_WINE_ARCH:-win64}}
  export PADKIT_WINE_ARCH=$WINE_ARCH
  export WINEPREFIX="$WINE_BUILD_DIR/wine-prefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono/Gecko prompts; no debugger, so a crashing program ends at once with an error code
  # instead of hanging in winedbg until the test times out.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
  WINE_TEMPLATE="$WINE_BUILD_DIR/wine-template-$WINE_ARCH"
  WINE_LOCK="$WINE_BUILD_DIR/wine.lock"
}

wine_make_template() {
  [ "$(cat "$WINE_TEMPLATE/.ready" 2>/dev/null)" = "$WINE_TEMPLATE_VERSION" ] && return 0
  rm -rf "$WINE_TEMPLATE"
  (
    export WINEPREFIX="$WINE_TEMPLATE" WINEARCH="$WINE_ARCH"
    wineboot -i >/dev/null 2>&1
    # A virtual desktop: windows close at once without a window manager, and exit codes are kept.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  )
  echo "$WINE_TEMPLATE_VERSION" >"$WINE_TEMPLATE/.ready"
  echo "$WINE_ARCH" >"$WINE_TEMPLATE/.arch"
}

# Fresh prefix copied from the template (removes the previous run's prefix).
wine_fresh_prefix() {
  (
    flock 9
    wine_make_template
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    cp -a "$WINE_TEMPLATE" "$WINEPREFIX"
    rm -rf "$WINE_BUILD_DIR"/wine-template 2>/dev/null || true   # the template of version 2
  ) 9>"$WINE_LOCK"
}

# Prefix from the template only when none exists yet (a single test run by hand).
wine_ensure_prefix() {
  [ "$(cat "$WINEPREFIX/.ready" 2>/dev/null)" = "$WINE_TEMPLATE_VERSION" ] &&
    [ "$(cat "$WINEPREFIX/.arch" 2>/dev/null)" = "$WINE_ARCH" ] && return 0
  wine_fresh_prefix
}

# A virtual X display of WINE_SCREEN_SIZE (1280x1024 unless set) when there is none.
wine_start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${WINE_SCREEN_SIZE:-1280x1024}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  WINE_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

wine_start_server() {
  wineserver -p
}

# For screenshots: the build's prefix, always a virtual display of our own, one persistent server.
wine_headless_session() {   # $1 = build directory
  wine_env_init "$1"
  wine_ensure_prefix
  unset DISPLAY
  wine_start_display
  wine_start_server
}

# The Windows version the prefix reports (win7, win10, winxp64, ...), with the server running.
wine_set_windows_version() {
  wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
}

# The display's dots per inch (96 is the default); programs started afterwards use it.
wine_set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# The size of Wine's virtual desktop (1024x768 in the template), for programs started afterwards.
wine_set_desktop_size() {   # $1 = WIDTHxHEIGHT
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f >/dev/null 2>&1
}

# A neutral folder for screenshots and the demo: C:\Padwise in the prefix, emptied.
wine_demo_folder() {
  WINE_DEMO_DIR="$WINEPREFIX/drive_c/Padwise"
  rm -rf "$WINE_DEMO_DIR" && mkdir -p "$WINE_DEMO_DIR"
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_XVFB_PID:-}" ]; then kill "$WINE_XVFB_PID" 2>/dev/null || true; fi
}

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent; quick when all is present.
# Never enables the i386 architecture: 32-bit Wine cannot run on these machines.
set -euo pipefail
pkgs=(cmake ninja-build make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
      wine wine64 xvfb xauth googletest x11-apps imagemagick python3 file nsis 7zip)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "bootstrap: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent; quick when all is present.
# 32-bit Wine (wine32 of the i386 architecture) runs the win32 build, as WoW64 and as 32-bit Windows.
set -euo pipefail
pkgs=(cmake ninja-build make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
      wine wine64 wine32:i386 xvfb xauth googletest x11-apps imagemagick python3 file nsis 7zip
      osslsigncode openssl python3-yaml)
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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

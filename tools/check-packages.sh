#!/usr/bin/env bash
# Checks the release packages in a folder (make dist): each zip holds the Padwise folder with the
# three programs (checked like every build), the two INI templates and a README.txt with CRLF line
# ends; each installer is a PE of its kind whose listing (7-Zip reads NSIS installers) names the
# same files and the uninstaller. The 32-bit installer cannot run here: this is its only check.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
version=${2:-$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")}
files="README.txt fitkit.exe jolter.dll profiler.INI profiler.exe setup.ini"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
for kind in win32 win64; do
  zip=$dir/padwise-$version-$kind.zip setup=$dir/padwise-$version-$kind-setup.exe
  pe=$([ $kind = win64 ] && echo 'PE32+' || echo 'PE32 ')
  for f in "$zip" "$setup"; do [ -f "$f" ] || { echo "missing $f"; fail=1; continue 2; }; done

  listed=$(python3 -m zipfile -l "$zip" | awk 'NR>1 {print $1}' | sort | tr '\n' ' ')
  want=$(for f in $files; do echo "Padwise/$f"; done | sort | tr '\n' ' ')
  [ "$listed" = "$want" ] || { echo "$zip holds: $listed"; fail=1; }
  python3 -m zipfile -e "$zip" "$work/$kind"
  bash "$here/check-binaries.sh" $kind "$work/$kind/Padwise" "$version" || fail=1
  for text in README.txt profiler.INI setup.ini; do
    if grep -q $'[^\r]$' "$work/$kind/Padwise/$text"; then echo "$zip: $text has lines without CRLF"; fail=1; fi
  done

  file "$setup" | grep -q "$pe" || { echo "$setup is not $pe"; fail=1; }
  carried=$(7zz l -slt "$setup" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR/' | tail -n +2 | sort | tr '\n' ' ')
  want="$(for f in $files uninstall.exe; do echo $f; done | sort | tr '\n' ' ')"
  [ "$carried" = "$want" ] || { echo "$setup carries: $carried"; fail=1; }
done
exit $fail

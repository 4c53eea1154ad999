#!/usr/bin/env bash
# Checks the release packages in a folder (make dist): each zip holds the Padwise folder with the
# programs and the effect drivers (x86/jolter.dll in both, amd64/jolter.dll in the 64-bit one; each
# checked like every build of its kind), the two INI templates and a README.txt with CRLF line
# ends; each installer is a PE of its kind whose listing (7-Zip reads NSIS installers, signed ones
# too with -tNsis) names the same files and the uninstaller.
# --signed: every program and DLL of the zips, each installer and the uninstaller it carries has a
# valid Authenticode signature (osslsigncode verify, against --ca FILE or the system's CAs).
#   check-packages.sh [--signed [--ca FILE]] DIR [VERSION]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
signed= ca=
while [ $# -gt 0 ]; do
  case $1 in
    --signed) signed=1; shift ;;
    --ca) ca=$2; shift 2 ;;
    *) break ;;
  esac
done
dir=$1
version=${2:-$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")}
common="README.txt fitkit.exe profiler.INI profiler.exe setup.ini x86/jolter.dll"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
verify() {   # name-to-report PE
  osslsigncode verify ${ca:+-CAfile "$ca"} -in "$2" >"$work/verify.log" 2>&1 ||
    { echo "$1: no valid signature ($(grep -m1 -iE 'error|mismatch|no signature' "$work/verify.log" ||
      echo unsigned))"; fail=1; }
}
for kind in win32 win64; do
  zip=$dir/padwise-$version-$kind.zip setup=$dir/padwise-$version-$kind-setup.exe
  pe=$([ $kind = win64 ] && echo 'PE32+' || echo 'PE32 ')
  files=$common
  [ $kind = win64 ] && files="$files amd64/jolter.dll"
  for f in "$zip" "$setup"; do [ -f "$f" ] || { echo "missing $f"; fail=1; continue 2; }; done

  listed=$(python3 -m zipfile -l "$zip" | awk 'NR>1 {print $1}' | sort | tr '\n' ' ')
  want=$(for f in $files; do echo "Padwise/$f"; done | sort | tr '\n' ' ')
  [ "$listed" = "$want" ] || { echo "$zip holds: $listed"; fail=1; }
  python3 -m zipfile -e "$zip" "$work/$kind"
  # check-binaries.sh takes a folder of one kind: the programs with that kind's effect driver.
  own=$([ $kind = win64 ] && echo amd64 || echo x86)
  cp "$work/$kind/Padwise/$own/jolter.dll" "$work/$kind/Padwise/"
  bash "$here/check-binaries.sh" $kind "$work/$kind/Padwise" "$version" || fail=1
  if [ $kind = win64 ]; then
    mkdir -p "$work/x86-of-win64"
    cp "$work/$kind/Padwise/x86/jolter.dll" "$work/x86-of-win64/"
    bash "$here/check-binaries.sh" win32 "$work/x86-of-win64" "$version" jolter.dll || fail=1
  fi
  for text in README.txt profiler.INI setup.ini; do
    if grep -q $'[^\r]$' "$work/$kind/Padwise/$text"; then echo "$zip: $text has lines without CRLF"; fail=1; fi
  done

  file "$setup" | grep -q "$pe" || { echo "$setup is not $pe"; fail=1; }
  carried=$(7zz l -slt -tNsis "$setup" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR/' | tail -n +2 | sort | tr '\n' ' ')
  want="$(for f in $files uninstall.exe; do echo "$f"; done | sort | tr '\n' ' ')"
  [ "$carried" = "$want" ] || { echo "$setup carries: $carried"; fail=1; }

  if [ -n "$signed" ]; then
    7zz x -tNsis -y -o"$work/$kind-setup" "$setup" uninstall.exe >/dev/null 2>&1 ||
      { echo "$setup: cannot unpack its uninstall.exe"; fail=1; }
    while read -r binary; do
      verify "$zip: ${binary#"$work/$kind/"}" "$binary"
    done < <(find "$work/$kind/Padwise" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
    verify "$setup: uninstall.exe" "$work/$kind-setup/uninstall.exe"
    verify "$setup" "$setup"
  fi
done
exit $fail

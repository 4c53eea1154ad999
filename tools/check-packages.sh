#!/usr/bin/env bash
# Checks the release packages in a folder (make dist): each zip holds the Padwise folder with the
# three programs (checked like every build), the two INI templates and a README.txt with CRLF line
# ends; each installer is a PE of its kind whose listing (7-Zip reads NSIS installers, signed ones
# too with -tNsis) names the same files and the uninstaller. The 32-bit installer cannot run here:
# this is its only check.
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
files="README.txt fitkit.exe jolter.dll profiler.INI profiler.exe setup.ini"
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
  carried=$(7zz l -slt -tNsis "$setup" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR/' | tail -n +2 | sort | tr '\n' ' ')
  want="$(for f in $files uninstall.exe; do echo $f; done | sort | tr '\n' ' ')"
  [ "$carried" = "$want" ] || { echo "$setup carries: $carried"; fail=1; }

  if [ -n "$signed" ]; then
    7zz x -tNsis -y -o"$work/$kind-setup" "$setup" uninstall.exe >/dev/null 2>&1 ||
      { echo "$setup: cannot unpack its uninstall.exe"; fail=1; }
    while read -r pe; do
      verify "$zip: ${pe#"$work/$kind/"}" "$pe"
    done < <(find "$work/$kind/Padwise" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
    verify "$setup: uninstall.exe" "$work/$kind-setup/uninstall.exe"
    verify "$setup" "$setup"
  fi
done
exit $fail

#!/usr/bin/env bash
# A signed release of both builds, packed as make dist packs it but signed with a throwaway
# certificate made here: tools/check-packages.sh --signed accepts every PE file (eleven) with the
# throwaway CA and refuses them without it, a changed byte breaks a signature, and the winget
# manifest and SHA256SUMS of that release pass tests/release/release_files_check.py.
#   signing_test.sh WIN64_BUILD WIN32_BUILD VERSION SETTINGS_INI
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
win64=$1 win32=$2 version=$3 settings=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# The throwaway CA and its code-signing certificate, as a PKCS#12 file with a password file.
cd "$work"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >leaf.cnf
ca() {   # name
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 -subj "/CN=$1" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
}
ca "Padwise Test CA" && ca "Other CA" &&
  openssl req -newkey rsa:2048 -nodes -keyout sign.key -out sign.csr -subj "/CN=Orvane Test" 2>/dev/null &&
  openssl x509 -req -in sign.csr -CA "Padwise Test CA.pem" -CAkey "Padwise Test CA.key" -CAcreateserial \
    -out sign.pem -days 2 -extfile leaf.cnf 2>/dev/null &&
  echo 'throwaway pass' >pass &&
  openssl pkcs12 -export -inkey sign.key -in sign.pem -out sign.pfx -passout file:pass ||
  { echo "FAIL: cannot make the throwaway certificate"; exit 1; }
sign="bash '$root/tools/sign.sh' --pfx '$work/sign.pfx' --pass-file '$work/pass'"

# The packaging commands of packaging/CMakeLists.txt, with signing.
mkdir dist
for kind in win32 win64; do
  bin=$([ $kind = win64 ] && echo "$win64" || echo "$win32")/bin
  for f in "$bin/profiler.exe" "$bin/jolter.dll" "$bin/fitkit.exe" "$win32/bin/jolter.dll"; do
    [ -f "$f" ] || { echo "FAIL: $f missing: build both targets first"; exit 1; }
  done
  jolters=(--jolter "x86=$win32/bin/jolter.dll")
  [ $kind = win64 ] && jolters+=(--jolter "amd64=$win64/bin/jolter.dll")
  base=dist/padwise-$version-$kind
  python3 "$root/packaging/stage.py" --templates "$root/packaging" --stage "$work/stage-$kind" \
    --zip "$base.zip" --version "$version" --kind $kind --settings "$settings" --sign "$sign" \
    "${jolters[@]}" "$bin/profiler.exe" "$bin/fitkit.exe" || fail "$kind: stage.py --sign"
  makensis -V1 -DVERSION="$version" -DKIND=$kind -DSTAGE="$work/stage-$kind/Padwise" \
    -DICON="$root/resources/profiler/profiler.ico" -DOUTFILE="$work/$base-setup.exe" -DSIGN="$sign" \
    "$root/packaging/padwise.nsi" >/dev/null || fail "$kind: makensis -DSIGN"
done

check() {   # expected-text dist-folder [--ca file]: "pass" or a text the failing check prints
  local expected=$1 dir=$2 out rc
  shift 2
  out=$(bash "$root/tools/check-packages.sh" --signed "$@" "$dir" "$version" 2>&1)
  rc=$?
  if [ "$expected" = pass ]; then
    [ $rc -eq 0 ] || fail "check-packages $*: $out"
  elif [ $rc -eq 0 ] || ! grep -qF "$expected" <<<"$out"; then
    fail "check-packages $*: expected a failure naming '$expected', got rc $rc: $out"
  fi
}
check pass dist --ca "$work/Padwise Test CA.pem"
[ "$(bash "$root/tools/check-packages.sh" --signed --ca "$work/Padwise Test CA.pem" dist "$version" 2>&1 |
  wc -l)" -eq 0 ] || fail "check-packages printed something for a good release"
check "win64.zip: Padwise/amd64/jolter.dll: no valid signature" dist --ca "$work/Other CA.pem"
check "win32-setup.exe: uninstall.exe: no valid signature" dist --ca "$work/Other CA.pem"

# One changed byte: in the middle of the 64-bit installer, and in the code of a staged program.
cp -r dist changed
setup=changed/padwise-$version-win64-setup.exe
flip() {   # file offset
  local byte
  byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
flip "$setup" $(($(stat -c %s "$setup") / 2))
check "win64-setup.exe: no valid signature" changed --ca "$work/Padwise Test CA.pem"
program=$work/stage-win32/Padwise/profiler.exe
osslsigncode verify -CAfile "$work/Padwise Test CA.pem" -in "$program" >/dev/null 2>&1 ||
  fail "the staged 32-bit profiler.exe is not signed"
flip "$program" 4096
osslsigncode verify -CAfile "$work/Padwise Test CA.pem" -in "$program" >/dev/null 2>&1 &&
  fail "profiler.exe with a changed byte still verifies"

# The listing files of that release.
python3 "$root/tools/release-files.py" dist --version "$version" --release-url "https://dl.example.com/r/$version/" &&
  python3 "$root/tests/release/release_files_check.py" dist "$version" "https://dl.example.com/r/$version/" ||
  fail "release files"

[ $failed -eq 0 ] && echo "signing: every case as expected"
exit $failed

#!/usr/bin/env bash
# Signs Windows PE files in place with osslsigncode: Authenticode, SHA-256, the certificate and key
# of a PKCS#12 file whose password is the first line of a file, and an RFC 3161 timestamp when a
# server is named. Fails, leaving the file as it was, when any step fails.
#   sign.sh --pfx FILE --pass-file FILE [--timestamp URL] PE...
set -eu
pfx= pass= url=
while [ $# -gt 0 ]; do
  case $1 in
    --pfx) pfx=$2; shift 2 ;;
    --pass-file) pass=$2; shift 2 ;;
    --timestamp) url=$2; shift 2 ;;
    *) break ;;
  esac
done
[ -n "$pfx" ] && [ -n "$pass" ] && [ $# -gt 0 ] || { echo "usage: sign.sh --pfx FILE --pass-file FILE [--timestamp URL] PE..." >&2; exit 2; }
for f in "$pfx" "$pass"; do [ -r "$f" ] || { echo "sign.sh: cannot read $f" >&2; exit 1; }; done
for pe in "$@"; do
  signed="$pe.signed"
  rm -f "$signed"
  if ! osslsigncode sign -pkcs12 "$pfx" -readpass "$pass" -h sha256 -n Padwise ${url:+-ts "$url"} \
         -in "$pe" -out "$signed" >"$signed.log" 2>&1; then
    echo "sign.sh: signing $pe failed:" >&2
    cat "$signed.log" >&2
    rm -f "$signed" "$signed.log"
    exit 1
  fi
  rm -f "$signed.log"
  mv -f "$signed" "$pe"
done

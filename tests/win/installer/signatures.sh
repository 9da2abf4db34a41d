#!/usr/bin/env bash
# The signatures of the files a signed build ships: each verifies against the authority the
# build was given, and a copy of each with one byte changed does not.
#   signatures.sh CA_FILE FILE...      (CA_FILE empty: osslsigncode's default, the system's)
set -uo pipefail
ca="$1"; shift
copies="$(mktemp -d)"
trap 'rm -rf "$copies"' EXIT

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
verifies() { osslsigncode verify ${ca:+-CAfile "$ca"} -in "$1" >"$copies/report" 2>&1; }
rejected() { ! verifies "$1" && grep -q MISMATCH "$copies/report"; }  # for its content
# The path of a copy of $1 whose middle byte is changed: signed content in each of our files (the
# code of a program, the compressed files of the setup and of the package's cabinet).
tampered() {
  local copy="$copies/$(basename "$1")" at=$(($(stat -c %s "$1") / 2)) byte
  cp "$1" "$copy"
  byte=$(od -An -tu1 -j"$at" -N1 "$1" | tr -d ' ')
  printf "\\$(printf '%03o' $((byte ^ 0x55)))" | dd of="$copy" bs=1 seek="$at" conv=notrunc status=none
  cmp -s "$1" "$copy" || echo "$copy"
}

for file in "$@"; do
  name="$(basename "$file")"
  check "$name verifies${ca:+ against $ca}" verifies "$file"
  check "$name with one byte changed does not" rejected "$(tampered "$file")"
done
echo "$failures failed"
[ "$failures" -eq 0 ]

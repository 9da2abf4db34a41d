#!/usr/bin/env bash
# Writes what Pellwyn.dll must answer for each case of markup_cases.txt, from pellwyn-markup:
#   expected_markup.sh PELLWYN-MARKUP CASES OUTDIR
# For each case: OUTDIR/NAME.out (the tool's output) and OUTDIR/NAME.status (its exit status).
set -euo pipefail
tool="$1" cases="$2" out="$3"
if [ ! -x "$tool" ]; then
  echo "no pellwyn-markup at $tool: build the native preset first (scripts/test.sh does)" >&2
  exit 1
fi
mkdir -p "$out"
rm -f "$out"/*.out "$out"/*.status

name="" args=()
flush() {
  [ -n "$name" ] || return 0
  local status=0
  "$tool" "${args[@]}" >"$out/$name.out" 2>/dev/null || status=$?
  echo "$status" >"$out/$name.status"
}
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    ""|"#"*) ;;
    "case "*) flush; name="${line#case }"; args=() ;;
    "setting "*) args+=(--setting "${line#setting }") ;;
    "host "*) args+=(--host-name "${line#host }") ;;
    "open "*) args+=(--open "${line#open }") ;;
    "access "*) args+=(--access "${line#access }") ;;
    "language "*) args+=(--language "${line#language }") ;;
    *) echo "$cases: cannot read \"$line\"" >&2; exit 1 ;;
  esac
done <"$cases"
flush

# Shell helpers for the installer tests under Wine: counted checks and registry reads.
# Source it after setting W (the Wine loader) and WINEPREFIX. A registry helper takes the key,
# then optionally a view switch as reg.exe spells it (/reg:32 or /reg:64).
failures=0
check() {  # check DESCRIPTION COMMAND...: runs the command, counts a failure when it fails
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
has_key() { "$W" reg query "$1" ${2:+"$2"} >/dev/null 2>&1; }
no_key() { ! has_key "$@"; }
value_is() {  # value_is KEY NAME EXPECTED [VIEW]: the value as reg query prints it
  "$W" reg query "$1" /v "$2" ${4:+"$4"} 2>/dev/null | tr -d '\r' | grep -qE "^ +$2 +REG_[A-Z_]+ +$3\$"
}
default_of() {  # default_of KEY [VIEW]: prints the key's default value
  "$W" reg query "$1" /ve ${2:+"$2"} 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_[A-Z_]* *//p'
}
bits_of() {  # bits_of FILE: 32 or 64, from the machine field of a Windows program's PE header
  local pe; pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  case "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')" in 014c) echo 32 ;; 8664) echo 64 ;; esac
}
contains() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1"; }
# The end of a test script: the count, and the exit status.
finish() {
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}

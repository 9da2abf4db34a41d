#!/usr/bin/env bash
# Menuvane in every shipped language: the options driver's language test and what a screen
# reader hears, once per language, Wine started each time in that language's locale, from which
# it takes Windows' display language; in German also the keys and high contrast (the English
# run of the whole driver has them).
# The locales are made with localedef once, into LOCALES; one prefix serves all runs, made by
# the first run, in English.
#   languages.sh WINE_RUN DRIVER LOCALES
set -uo pipefail
wine_run="$1" driver="$2" locales="$3"
# The locales of the one table of languages the window tests share, English ("C") first.
fixtures="$(dirname "$0")/../win_fixtures.h"
mapfile -t languages < <(grep -o '0x[0-9A-F]*, "[A-Za-z_@]*"' "$fixtures" | sed 's/.*"\(.*\)"/\1/')
[ "${languages[0]:-}" = C ] || { echo "languages: no table of languages in $fixtures"; exit 1; }

# A locale's name with its character set: a modifier goes last (sr_RS@latin: sr_RS.UTF-8@latin).
utf8() { case "$1" in *@*) echo "${1%@*}.UTF-8@${1#*@}" ;; *) echo "$1.UTF-8" ;; esac; }

mkdir -p "$locales"
for l in "${languages[@]:1}"; do
  name=$(utf8 "$l")
  [ -d "$locales/$name" ] || localedef -i "$l" -f UTF-8 "$locales/$name" >/dev/null 2>&1 || true
  [ -d "$locales/$name" ] || { echo "languages: localedef cannot make $name (Debian's locales?)"; exit 1; }
done

prefix="$(mktemp -d "${TMPDIR:-/tmp}/languages.XXXXXX")"
trap 'rm -rf "$prefix"' EXIT
failed=()
for l in "${languages[@]}"; do
  tests='OptionsWindow.SpeaksWindowsDisplayLanguage*:OptionsWindow.ScreenReaders*'
  case "$l" in
    de_DE) tests+=':OptionsWindow.Keys*:OptionsWindow.EscCancels*:OptionsWindow.Locked*:OptionsWindow.HighContrast*' ;;
  esac
  out=$(LOCPATH="$locales" LC_ALL="$(utf8 "$l")" "$wine_run" --display --keep-prefix "$prefix" "$driver" \
          --gtest_filter="$tests" 2>&1)
  status=$?
  [ "$status" = 77 ] && { echo "$out"; exit 77; }  # this build cannot run here
  grep -E '^[a-z]{2}(_[A-Z]{2})? at [0-9]+ DPI' <<<"$out"
  # Wine can end a program early with exit code 0: only GoogleTest's own verdict counts.
  if [ "$status" != 0 ] || ! grep -qE '^\[  PASSED  \] [0-9]+ tests?\.' <<<"$out" ||
     grep -q '^\[  FAILED  \]' <<<"$out"; then
    echo "$out"
    failed+=("$l")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "languages: failed in ${failed[*]}"; exit 1; }
echo "languages: Menuvane fits, and a screen reader hears it, in all ${#languages[@]}"

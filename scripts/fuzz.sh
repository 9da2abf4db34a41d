#!/usr/bin/env bash
# Fuzzes each libFuzzer target of the native-sanitize build for a while (default 300 s each):
#   scripts/fuzz.sh [seconds] [target...]     targets: document numbers options cli disabled_items
#                                             (default all)
# Each starts from its seeds in tests/fuzz/corpus/<target>_fuzzer and keeps what it learns in
# build/native-sanitize/fuzz/<target>_fuzzer/corpus (never in the repository), so a second run
# goes on from there. A failed property or a sanitizer finding stops that target with the input
# saved beside its corpus (crash-*, timeout-*, ...); the script then exits with 1.
# Prints, per target, the executions, executions per second and coverage it reached.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-300}"
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [seconds] [document|numbers|options|cli|disabled_items ...]" >&2; exit 2; }
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(document numbers options cli disabled_items)

build=build/native-sanitize
[ -f "$build/build.ninja" ] || cmake --preset native-sanitize >/dev/null
nice cmake --build --preset native-sanitize --target "${targets[@]/%/_fuzzer}"

failed=0
summary=()
for t in "${targets[@]}"; do
  name="${t}_fuzzer"
  work="$build/fuzz/$name"
  mkdir -p "$work/corpus"
  dict=()
  [ -f "tests/fuzz/$t.dict" ] && dict=(-dict="tests/fuzz/$t.dict")
  echo "== $name: $seconds s"
  set +e
  UBSAN_OPTIONS="print_stacktrace=1:${UBSAN_OPTIONS:-}" \
    nice "$build/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "${dict[@]}" "$work/corpus" "tests/fuzz/corpus/$name" >"$work/log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$work/log" | tail -1)
  files=$(find "$work/corpus" -type f | wc -l)
  if [ "$rc" -ne 0 ]; then
    failed=1
    grep -E 'property failed|ERROR: |runtime error|SUMMARY' "$work/log" | head -5 || true
    echo "   FAILED (exit $rc): $work/log; the input: $(ls -t "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-* 2>/dev/null | head -1)"
  fi
  summary+=("$(printf '%-22s %12s runs  %8s exec/s  %-10s corpus %s files%s' "$name" "${runs:-?}" "${rate:-?}" "${cov:-cov: ?}" "$files" \
    "$([ "$rc" -ne 0 ] && echo '  FAILED')")")
done
echo "== fuzzing, $seconds s each"
printf '%s\n' "${summary[@]}"
exit "$failed"

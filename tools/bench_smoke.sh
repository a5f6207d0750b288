#!/usr/bin/env bash
# Runs every benchmark of a build once, at its smallest size, and fails when
# one of them cannot run or reports an error: a benchmark that broke is
# noticed when it breaks, not when its figures are next wanted. The figures
# of this run mean nothing (one short iteration on a busy machine).
#
#   tools/bench_smoke.sh <build folder>
set -euo pipefail
build=${1:-build}
bench_dir=$build/bench
if [ ! -d "$bench_dir" ]; then
  echo "bench_smoke: no benchmarks in $build" >&2
  exit 1
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# A benchmark name as a regular expression matching only itself.
exact() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')"; }

failed=0
ran=0
for program in "$bench_dir"/bench_*; do
  [ -x "$program" ] && [ -f "$program" ] || continue
  name=$(basename "$program")
  # The first instance of each benchmark (its name without the sizes): the
  # sizes are listed from the smallest up.
  instances=$(KORVAN_BENCH_SMOKE=1 "$program" --benchmark_list_tests=true |
    awk '{ family = $0; gsub(/\/[0-9]+/, "", family); if (!seen[family]++) print }')
  while IFS= read -r instance; do
    [ -n "$instance" ] || continue
    result=$out/$name.json
    if ! KORVAN_BENCH_SMOKE=1 "$program" --benchmark_filter="$(exact "$instance")" \
        --benchmark_min_time=0.000001 --benchmark_out="$result" --benchmark_out_format=json \
        >"$out/$name.log" 2>&1; then
      echo "bench_smoke: $name $instance exited with a failure:" >&2
      cat "$out/$name.log" >&2
      failed=1
    elif grep -q '"error_occurred": true' "$result"; then
      echo "bench_smoke: $name $instance reported an error:" >&2
      grep '"error_message"' "$result" >&2 || true
      failed=1
    elif ! grep -q '"name"' "$result"; then
      echo "bench_smoke: $name $instance did not run" >&2
      failed=1
    fi
    ran=$((ran + 1))
  done <<<"$instances"
done
[ "$failed" -eq 0 ] && echo "bench_smoke: $ran benchmarks ran once each"
exit "$failed"

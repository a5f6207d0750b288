#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each. The seed
# corpus in fuzz/corpus/<name> is read, never written; new inputs go to a work
# folder and crashes to <build>/findings.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/findings"
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  work="$build/corpus/$name"
  mkdir -p "$work"
  seeds="$root/fuzz/corpus/$name"
  echo "== fuzz $name for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" -rss_limit_mb=4096 \
       -max_len=65536 -timeout=20 -artifact_prefix="$build/findings/$name-" -print_final_stats=1 \
       "$work" ${seeds:+$([ -d "$seeds" ] && echo "$seeds")} 2>"$build/fuzz-$name.log"; then
    echo "   FAILED: see $build/fuzz-$name.log and $build/findings"
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-$name.log" | sed 's/^/   /' || true
done
exit $status

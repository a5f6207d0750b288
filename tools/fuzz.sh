#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each. The seed
# corpus in fuzz/corpus/<name> is read, never written; new inputs go to a work
# folder and crashes to <build>/findings. fuzz/<name>.dict, when present, is
# the target's dictionary.
#
# Usage: tools/fuzz.sh [build-folder] [seconds-per-target] [target...]
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
shift $(( $# > 2 ? 2 : $# ))
only=" $* "
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/findings"
status=0
ran=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  [ "$only" = "  " ] || [[ "$only" == *" $name "* ]] || continue
  ran=$((ran + 1))
  work="$build/corpus/$name"
  mkdir -p "$work"
  args=()
  [ -d "$root/fuzz/corpus/$name" ] && args+=("$root/fuzz/corpus/$name")
  [ -f "$root/fuzz/$name.dict" ] && args=(-dict="$root/fuzz/$name.dict" "$work" "${args[@]}") || args=("$work" "${args[@]}")
  echo "== fuzz $name for ${seconds}s"
  # Leaks are findings; an allocation the sanitizer cannot serve is reported
  # as a failure to the code rather than ending the run.
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       "$target" -max_total_time="$seconds" -rss_limit_mb=4096 -max_len=65536 -timeout=20 \
       -artifact_prefix="$build/findings/$name-" -print_final_stats=1 "${args[@]}" \
       2>"$build/fuzz-$name.log"; then
    echo "   FAILED: see $build/fuzz-$name.log and $build/findings"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' "$build/fuzz-$name.log" | sed 's/^/   /' || true
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$build/fuzz-$name.log" | sed 's/^/   /' || true
done
if [ "$ran" = 0 ]; then
  echo "fuzz: no fuzz targets in $build/fuzz" >&2
  exit 1
fi
exit $status

#!/usr/bin/env bash
# The main job, run by `make run` once everything is built.
set -euo pipefail
build=${1:-build}
cd "$build"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"

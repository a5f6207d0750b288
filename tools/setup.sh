#!/usr/bin/env bash
# Checks that this machine has what the build needs and, when run as root,
# installs whatever is missing from Debian's packages. Without root it names
# the exact packages to install and fails.
set -euo pipefail

# command-or-file  debian-package
needs=(
  "cmd:cmake cmake"
  "cmd:ninja ninja-build"
  "cmd:g++ g++"
  "cmd:make make"
  "file:/usr/include/gtest/gtest.h libgtest-dev"
  "file:/usr/include/gmock/gmock.h libgmock-dev"
  "file:/usr/include/benchmark/benchmark.h libbenchmark-dev"
  "file:/usr/include/CLI/CLI.hpp libcli11-dev"
  "file:/usr/include/nlohmann/json.hpp nlohmann-json3-dev"
  "file:/usr/include/fftw3.h libfftw3-dev"
  "cmd:pkg-config pkg-config"
)
if [ "${KORVAN_NEED_CLANG:-0}" = 1 ]; then
  needs+=("cmd:clang++ clang" "file:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a libclang-rt-14-dev")
fi

missing=()
for entry in "${needs[@]}"; do
  probe=${entry%% *}
  package=${entry#* }
  case $probe in
    cmd:*)  command -v "${probe#cmd:}" >/dev/null 2>&1 || missing+=("$package") ;;
    file:*) [ -e "${probe#file:}" ] || missing+=("$package") ;;
  esac
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
    { apt-get update >/dev/null && apt-get install -y --no-install-recommends "${missing[@]}"; }
else
  echo "setup: missing packages: ${missing[*]}" >&2
  echo "setup: install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

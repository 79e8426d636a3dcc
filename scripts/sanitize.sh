#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there with leak detection on. Any
# finding fails the run. Slower than scripts/test.sh; arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$(dirname "$PWD")"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"
# Set for the build too, which runs test programs (to list their tests, to make
# the default database). No suppressions: the suite runs clean without any.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-asan --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd build-asan
ctest --output-on-failure --timeout 900 "$@"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Builds and runs the suites under the sanitizers.
# usage: tools/check.sh --sanitizers   (ASan+UBSan, then TSan)
#        tools/check.sh asan|tsan      (one of them)
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:---sanitizers}" in
  --sanitizers) presets=(asan tsan) ;;
  asan|tsan) presets=("$1") ;;
  *) echo "usage: tools/check.sh [--sanitizers|asan|tsan]" >&2; exit 2 ;;
esac
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Tests start the programs they check (QProcess) from threaded processes; the child only execs.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 suppressions=$PWD/tools/tsan.supp"
for preset in "${presets[@]}"; do
  echo "== $preset"
  bash tools/setup.sh "$preset"
  ctest --preset "$preset" --output-on-failure -j "$(nproc)"
done

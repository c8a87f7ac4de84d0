#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Builds the libFuzzer targets with clang 14 under ASan + UBSan (their own build folder, the
# normal build is untouched) and runs one of them.
# usage: tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
#   TARGET: receive | discovery | modefile | simrequest | driverpkg | netmodule |
#           measurementeq | remotemessage | oscpacket | showfile
#   (fuzz_ prefix optional)
# New inputs go to build/fuzz/corpus/TARGET (seeded from fuzz/corpus/TARGET), crashes to
# build/fuzz/artifacts/. Exits non-zero when the target finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
if (($# < 2)); then
  sed -n '2,9p' "$0" >&2
  exit 2
fi
name=${1#fuzz_}
seconds=$2
shift 2
# Inputs of a few frames are enough where frames are at most 128 bytes long; a mode file
# needs room for all of its 24832 bytes and more.
case "$name" in
  receive) limits=(-max_len=1024) ;;
  discovery|simrequest) limits=(-max_len=2048) ;;
  netmodule) limits=(-max_len=4096) ;;
  measurementeq) limits=(-max_len=4096) ;;  # a few dozen lines of EQ text
  remotemessage) limits=(-max_len=16384) ;;  # a request head or a message
  oscpacket) limits=(-max_len=8192) ;;  # a message or a bundle of a few
  modefile) limits=(-max_len=32768) ;;
  showfile) limits=(-max_len=32768) ;;  # room for a few units' settings
  driverpkg) limits=(-max_len=16384) ;;
  *) echo "unknown fuzz target: $name" >&2; exit 2 ;;
esac

packages=(clang-14 libclang-rt-14-dev cmake ninja-build pkg-config qt6-base-dev qt6-websockets-dev
          libagg-dev libqrencode-dev liblo-dev ccache)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

build=build/fuzz
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-12G}"
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUELLMAR_FUZZ=ON -DQUELLMAR_BUILD_TESTS=OFF -DQUELLMAR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
cmake --build "$build" --target "fuzz_$name"

corpus=$build/corpus/$name
mkdir -p "$corpus" "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
echo "== fuzz_$name for ${seconds} s"
"$build/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 "${limits[@]}" \
  -dict=fuzz/protocol.dict -artifact_prefix="$build/artifacts/$name-" \
  "$@" "$corpus" "fuzz/corpus/$name"

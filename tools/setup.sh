#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Installs what the build needs (Debian 12), then configures and builds one preset.
# usage: tools/setup.sh [preset]   (default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libagg-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-microhei xvfb openbox x11-utils
          librsvg2-bin desktop-file-utils appstream
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
          clang-14 libclang-rt-14-dev iproute2 lintian
          qt6-websockets-dev libqrencode-dev liblo-dev liblo-tools
          chromium chromium-driver python3-selenium ccache zbar-tools prometheus)
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

# Compiler cache: a second build of the same sources, in this clone or another, takes minutes.
# Room for the three builds and the fuzz build, so that one does not push out another.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-12G}"
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

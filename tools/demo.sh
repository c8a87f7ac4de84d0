#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Installs what is missing, builds, starts simulated units on loopback (a QD206, a QD406, a
# QD408 and one unit on a pseudo-terminal) and starts Quellmar against them in demo/.
# Without a display the program runs offscreen and saves demo/quellmar.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh default
bin=$PWD/build/default
demo=$PWD/demo
mkdir -p "$demo"
log="$demo/unitsim.log"
"$bin/sim/quellmar-unitsim" --unit QD206@127.0.0.2:"Front Fill" --unit QD406@127.0.0.3:"Delay Tower" \
  --unit QD408@127.0.0.4:"Main Stage" --serial QD408:"USB Rack" >"$log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ "$(grep -c . "$log")" -ge 4 ] && break; sleep 0.1; done
if ! kill -0 "$sim" 2>/dev/null; then
  echo "The simulator did not start:" >&2; cat "$log" >&2; exit 1
fi
echo "Simulated units:"; cat "$log"
serial=$(awk -F'\t' '/\/dev\//{print $2; exit}' "$log")

# The search goes to the gateway's a.b.c.255: point it at loopback, and name the serial unit's
# pseudo-terminal as COM1 (the other ports lead nowhere).
{
  printf '[NetConfig]\nGateWay=127.0.0.1\nAutoIP=0\n[SerialPorts]\nCOM1=%s\n' "$serial"
  for n in $(seq 2 16); do printf 'COM%d=/nonexistent/ttyUSB%d\n' "$n" "$((n - 1))"; done
} >"$demo/QelConfig.ini"

# Settings of the demo's own: a later start, so that no PC address dialog asks for the subnet
# that QelConfig.ini already names.
mkdir -p "$demo/config/Quellmar"
printf '[General]\nQuellmar_Once=1\n' >"$demo/config/Quellmar/Quellmar.conf"
export XDG_CONFIG_HOME=$demo/config

cd "$demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting Quellmar in $demo (close its window to end the demo)."
  "$bin/src/shell/quellmar"
else
  echo "No display: running offscreen and saving the main window to $demo/quellmar.png."
  QT_QPA_PLATFORM=offscreen "$bin/src/shell/quellmar" --screenshot "$demo/quellmar.png"
fi

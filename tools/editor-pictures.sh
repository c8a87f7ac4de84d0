#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Renders the gain page and the input and output EQ pages into docs/editor-gain.png,
# docs/eq-input.png and docs/eq-output.png with `quellmar --screenshot`: a simulated QD408 on
# 127.0.77.4 (ports of its own, so that a running demo is not disturbed) gets a few gains, EQ
# points and both crossover filters through quellmar-cli, then Quellmar connects to it and
# shows page 1, 4 and 5.
#   tools/editor-pictures.sh [BUILD_DIR]      (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/default}")
out=$PWD/docs
work=$(mktemp -d)
ports=(--unit-port 19840 --module-port 18000)
"$bin/sim/quellmar-unitsim" "${ports[@]}" --unit QD408@127.0.77.4:"Main Stage" >"$work/sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q . "$work/sim.log" && break; sleep 0.1; done

# One write: block (1 inputs, 2 outputs), channel, code, payload.
send() {
  "$bin/src/cli/quellmar-cli" send --ip 127.0.77.4 "${ports[@]}" --local-port 19641 \
    --block "$1" --op 2 --channel "$2" --code "$3" --payload "$4" --reply-len 0 --wait 300 \
    >/dev/null || true
}
# Input A and output 1: EQ on, points as index, type, frequency code, gain code, Q code.
for block in 1 2; do send $block 1 0x0A "00 00"; done
send 1 1 0x09 "00 01 1a 96 04 00"   # low shelf +6 dB at 40.5 Hz
send 1 1 0x09 "04 00 5f 5a 0e 00"   # -6 dB at 268 Hz, Q 3.0
send 1 1 0x09 "08 00 a5 8c 04 00"   # +4 dB at 1827 Hz
send 1 1 0x09 "0c 02 e0 6e 04 00"   # high shelf -2 dB at 9201 Hz
send 2 1 0x09 "02 00 45 a0 09 00"   # +8 dB at 132 Hz, Q 2.0
send 2 1 0x09 "06 00 b8 64 18 00"   # -4 dB at 3075 Hz, Q 5.0
send 2 1 0x0B "07 1a"               # high-pass Lik-Riley -24dB at 40.5 Hz
send 2 1 0x0C "04 cb"               # low-pass Bessel -24dB at 5176 Hz
# Gains (code = (dB + 50) x 2) and a muted output.
send 1 2 0x01 "5c 00"               # input B -4.0 dB
send 2 1 0x01 "6e 00"               # output 1 +5.0 dB
send 2 3 0x01 "50 00"               # output 3 -10.0 dB
send 2 8 0x02 "01 00"               # output 8 muted

printf '[NetConfig]\nGateWay=127.0.77.1\nAutoIP=0\n' >"$work/QelConfig.ini"
mkdir -p "$work/config/Quellmar"
printf '[General]\nQuellmar_Once=1\n' >"$work/config/Quellmar/Quellmar.conf"
export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
for shot in 1:editor-gain 4:eq-input 5:eq-output; do
  "$bin/src/shell/quellmar" --work-dir "$work" "${ports[@]}" --local-port 19640 \
    --search-port 19401 --connect 1 --page "${shot%%:*}" --screenshot "$out/${shot#*:}.png" "${@:2}"
done
echo "Wrote $out/editor-gain.png, $out/eq-input.png and $out/eq-output.png"

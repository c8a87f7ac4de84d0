#!/usr/bin/env bash
# Installs what is missing, builds, starts simulated units on loopback and exchanges raw
# commands with one of them through the link engine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh default
bin=build/default
log=$(mktemp)
"$bin/sim/quellmar-unitsim" --unit QD206@127.0.0.2:"Front Fill" --unit QD406@127.0.0.3:"Delay Tower" \
  --unit QD408@127.0.0.4:"Main Stage" --serial QD408:"USB Rack" >"$log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 50); do [ "$(wc -l <"$log")" -ge 4 ] && break; sleep 0.1; done
echo "Simulated units:"; cat "$log"
serial=$(awk -F'\t' '/\/dev\//{print $2; exit}' "$log")
cli=("$bin/src/cli/quellmar-cli")
run() { echo "\$ quellmar-cli $*"; "${cli[@]}" "$@" || true; }
echo
run search --gateway 127.0.0.1 --serial-map "COM1=$serial"
run send --ip 127.0.0.4 --block 0 --op 0 --channel 0 --code 0x03 --reply-len 1 --tries 2 --timeout 200
run send --ip 127.0.0.4 --block 0 --op 0 --channel 0 --code 0x04 --reply-len 20 --tries 2 --timeout 200
run send --ip 127.0.0.4 --block 2 --op 2 --channel 2 --code 0x01 --payload "64 00" --tries 4 --timeout 400
run send --ip 127.0.0.4 --block 3 --op 0 --channel 0 --code 0x01 --reply-len 30 --tries 4 --timeout 1400
[ -n "$serial" ] && run send --serial COM1 --serial-map "COM1=$serial" --block 0 --op 0 --channel 0 --code 0x03 --reply-len 1
if [ -t 0 ]; then
  echo; echo "The simulator keeps running; try more commands in another terminal. Ctrl-C ends it."
  wait $sim
fi

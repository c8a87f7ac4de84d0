#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# The main window's placement under a real window manager (openbox on Xvfb): the program is
# started three times; each start shows the window's frame where QelConfig.ini says, and each
# exit (SIGTERM, the exit path) writes back the same values, so nothing creeps.
# Exits 77 (skipped) when Xvfb, openbox or the X utilities are missing.
# usage: placement_wm_test.sh QUELLMAR
set -uo pipefail
app=$1
for tool in Xvfb openbox xprop xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (tools/setup.sh installs xvfb, openbox and x11-utils)"
    exit 77
  fi
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$tmp"/*.log; do [ -s "$log" ] && { echo "--- $log" >&2; tail -20 "$log" >&2; }; done
  exit 1
}
# Polls the condition (a command) every 50 ms for at most $1 seconds.
within() {
  local limit=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < limit)) || return 1
    sleep 0.05
  done
}

# A display of its own; Xvfb writes its number once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
within 20 test -s "$tmp/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$tmp/display")"
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
within 20 wm_up || fail "openbox did not take the display"

work=$tmp/work
mkdir -p "$work" "$tmp/config/Quellmar" "$tmp/run"
chmod 700 "$tmp/run"
printf '[General]\nQuellmar_Once=1\n' >"$tmp/config/Quellmar/Quellmar.conf"
{
  printf '[MainWindow]\nMaxSize=0\nWidth=900\nHeight=650\nLeft=100\nTop=160\n'
  # A search of a loopback subnet without units, and no serial ports.
  printf '[NetConfig]\nGateWay=127.254.%d.1\nAutoIP=0\n[SerialPorts]\n' $((RANDOM % 250 + 1))
  for n in $(seq 16); do printf 'COM%d=/nonexistent\n' "$n"; done
} >"$work/QelConfig.ini"
export XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp/run QT_QPA_PLATFORM=xcb

# "left top width height" of the window's frame as the window manager drew it: the client's
# place on the screen widened by the frame extents the manager announced.
frame_of() {
  local info extents
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -oE '[0-9]+, [0-9]+, [0-9]+, [0-9]+$') ||
    return 1
  local x y w h l r t b
  x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  w=$(awk '/^  Width:/ {print $NF}' <<<"$info")
  h=$(awk '/^  Height:/ {print $NF}' <<<"$info")
  IFS=', ' read -r l r t b <<<"$extents"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
# "left top width height" as QelConfig.ini holds them.
saved() {
  local key out=()
  for key in Left Top Width Height; do
    out+=("$(sed -n "/^\[MainWindow\]/,/^\[/s/^$key=//p" "$work/QelConfig.ini")")
  done
  echo "${out[*]}"
}
main_window() { xwininfo -root -tree 2>/dev/null | awk '/"Quellmar 1.0.0"/ {print $1; exit}'; }
placed_as_saved() {
  win=$(main_window)
  [ -n "$win" ] && [ "$(frame_of "$win")" = "$expected" ]
}

expected=$(saved)
for start in 1 2 3; do
  "$app" --work-dir "$work" --local-port 0 --search-port 0 >"$tmp/quellmar.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  win=""
  if ! within 20 placed_as_saved; then
    [ -n "$win" ] || fail "start $start: no main window"
    fail "start $start: frame at $(frame_of "$win"), QelConfig.ini says $expected"
  fi
  # Still there a little later: nothing moves it once shown.
  sleep 0.5
  [ "$(frame_of "$win")" = "$expected" ] || fail "start $start: moved to $(frame_of "$win")"
  kill -TERM "$pid"
  wait "$pid" || fail "start $start: exit status $?"
  [ "$(saved)" = "$expected" ] || fail "start $start: saved $(saved), was placed at $expected"
  echo "start $start: frame $expected, saved the same"
done

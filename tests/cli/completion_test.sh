#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# The bash completion of quellmar-cli, as built for installing, against the program's --help:
# every command and option --help names is offered where it belongs, each option offered is
# one --help names there and one its command takes, and values get files or nothing.
# usage: completion_test.sh QUELLMAR_CLI COMPLETION_SCRIPT
set -uo pipefail
cli=$1 script=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# shellcheck source=/dev/null
source "$script" || exit 1
[[ $(complete -p quellmar-cli) == *"-F _quellmar_cli"* ]] || fail "complete -p: $(complete -p quellmar-cli)"

# What the completion offers for the last word of a command line, one per line.
offers() {
  COMP_WORDS=(quellmar-cli "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _quellmar_cli
  ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}"
}
has() { grep -qxF -- "$2" <<<"$1"; }

help=$("$cli" --help) || exit 1
commands=$(sed -n '/^Commands:/,/^$/p' <<<"$help" | grep -oE '^  [a-z][a-z-]*' | tr -d ' ')
globals=$(sed -n '/^Global options/,$p' <<<"$help" | grep -oE -- '^  --[a-z-]+' | tr -d ' ')
[ "$(wc -w <<<"$commands")" -ge 17 ] && [ "$(wc -w <<<"$globals")" -ge 8 ] ||
  fail "--help read wrongly: commands '$commands', globals '$globals'"

top=$(offers "")
for word in $commands --help --version $globals; do
  has "$top" "$word" || fail "first word: $word not offered"
done
for c in $commands; do
  # The command's block of --help: from its name to the next command.
  named=$(awk -v c="$c" '/^  [a-z]/ { inside = ($1 == c) } /^$/ { inside = 0 } inside' <<<"$help" |
    grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)
  offered=$(offers "$c" -)
  for option in $named $globals; do
    has "$offered" "$option" || fail "$c: $option not offered"
  done
  for option in $offered; do
    has "$named"$'\n'"$globals" "$option" || fail "$c: offers $option, which --help does not name"
    # The parse stops at the made-up option at the latest: nothing is sent anywhere.
    said=$("$cli" "$c" "$option" 1 --made-up-option 2>&1)
    [[ $said == *"unknown option $option"* ]] && fail "$c does not take $option: $said"
  done
done

# Global options before the command, a serial map split at its '=' as bash splits it.
has "$(offers --gateway 127.0.0.1 --trace download --)" --mode-file || fail "globals first: no --mode-file"
has "$(offers --serial-map COM1 = /dev/null store --n)" --name || fail "after a serial map: no --name"
# Values: files for file options and file operands, nothing for the others.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/room.json"
has "$(offers read --out "$dir/r")" "$dir/room.json" || fail "read --out: no file offered"
has "$(offers import "$dir/")" "$dir/room.json" || fail "import: no file offered"
has "$(offers export --mode-file "$dir/")" "$dir/room.json" || fail "--mode-file: no file offered"
for line in "read --ip" "--gateway" "store --name" "send --payload"; do
  # shellcheck disable=SC2086
  [ -z "$(offers $line "")" ] || fail "$line: offers something for its value"
done

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "completion offers what --help names"

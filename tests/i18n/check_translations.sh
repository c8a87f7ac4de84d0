#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Fails when a text of the sources has no English translation, or an English translation
# still holds Chinese characters. usage: check_translations.sh LUPDATE TS_FILE SOURCE_DIR
set -euo pipefail
export LC_ALL=C.UTF-8
lupdate=$1 ts=$2 sources=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/check.ts"
"$lupdate" -silent -locations none -no-obsolete "$sources" -ts "$work/check.ts" >/dev/null
status=0
if grep -q 'type="unfinished"' "$work/check.ts"; then
  echo "Texts without an English translation (run the update_translations target, then translate):"
  grep -B1 'type="unfinished"' "$work/check.ts" | grep '<source>' || true
  status=1
fi
if grep '<translation>' "$work/check.ts" | grep -qP '[\x{3000}-\x{9fff}\x{ff00}-\x{ffef}]'; then
  echo "English translations with Chinese characters:"
  grep '<translation>' "$work/check.ts" | grep -P '[\x{3000}-\x{9fff}\x{ff00}-\x{ffef}]'
  status=1
fi
exit $status

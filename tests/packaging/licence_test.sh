#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Every source file of the tree names its licence and its copyright holders in its first lines,
# and the licence text itself is at the top of the tree.
# usage: licence_test.sh SOURCE_DIR
set -uo pipefail
top=$1
cmp -s "$top/LICENSE" /usr/share/common-licenses/GPL-3 || { echo "FAIL: LICENSE is not the GPL-3 text" >&2; exit 1; }
missing=0
while IFS= read -r -d '' file; do
  head=$(head -n 4 "$file")
  if ! grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' <<<"$head" ||
     ! grep -q 'Copyright .* the Quellmar developers' <<<"$head"; then
    echo "FAIL: ${file#"$top"/} lacks its SPDX or copyright line" >&2
    missing=$((missing + 1))
  fi
done < <(find "$top"/src "$top"/sim "$top"/tests "$top"/bench "$top"/fuzz "$top"/tools "$top"/.ci \
           "$top"/data "$top"/CMakeLists.txt -type f \
           \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' -o -name '*.js' \
              -o -name '*.html' -o -name '*.css' -o -name 'CMakeLists.txt' -o -name run \) -print0)
((missing == 0)) || { echo "$missing file(s) without licence lines" >&2; exit 1; }
echo "licence lines checked"

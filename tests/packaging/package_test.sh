#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Builds the Debian package of a build tree, unpacks it into a temporary root and checks what
# an installed Quellmar needs: its files, its declared dependencies, the validators' verdicts,
# the programs' --version and --help, manual pages that name every option of --help, and the
# menu entry starting Quellmar in the user's data folder.
# usage: package_test.sh BUILD_DIR VERSION CPACK
set -uo pipefail
build=$1 version=$2 cpack=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  exit 1
fi
deb=$(echo "$work"/out/quellmar_"$version"_*.deb)
[ -f "$deb" ] || { echo "FAIL: no quellmar_${version}_*.deb in $(ls "$work/out")" >&2; exit 1; }
root=$work/root
dpkg-deb -x "$deb" "$root" || exit 1
bin=$root/usr/bin
share=$root/usr/share
id=org.quellmar.Quellmar

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libc6 qt6-qpa-plugins fonts-wqy-microhei; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

for file in bin/quellmar bin/quellmar-cli bin/quellmar-unitsim \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/256x256/apps/$id.png \
    share/man/man1/quellmar.1.gz share/man/man1/quellmar-cli.1.gz share/man/man1/quellmar-unitsim.1.gz \
    share/doc/quellmar/changelog.gz share/doc/quellmar/copyright \
    share/bash-completion/completions/quellmar-cli \
    lib/udev/rules.d/70-quellmar-usb-serial.rules; do
  [ -s "$root/usr/$file" ] || fail "missing /usr/$file"
done
# PNG signature, then the IHDR width and height: 256 x 256.
png_head=$(od -An -tx1 -N24 "$share/icons/hicolor/256x256/apps/$id.png" 2>/dev/null | tr -d ' \n')
[ "$png_head" = "89504e470d0a1a0a0000000d494844520000010000000100" ] || fail "icon is not a 256 px PNG"
grep -Eq '^[^#]*ATTRS\{idVendor\}=="0403".*TAG\+="uaccess"' \
  "$root/usr/lib/udev/rules.d/70-quellmar-usb-serial.rules" || fail "udev rule lacks 0403/uaccess"

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
  fail "metainfo has no release $version"

# Debian's checker: errors fail; the warnings kept are listed in the README.
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian reports errors"; }
else
  fail "lintian is not installed"
fi
[ -f "$share/doc/quellmar/copyright" ] || fail "no copyright file"
grep -q '^License: GPL-3+' "$share/doc/quellmar/copyright" || fail "copyright file names no GPL-3+"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$share/metainfo/$id.metainfo.xml" ||
  fail "metainfo names no project licence"

# --version and --help need no display: without one, Qt would abort as soon as the
# window system is started.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
for program in quellmar quellmar-cli quellmar-unitsim; do
  out=$("${nodisplay[@]}" "$bin/$program" --version 2>&1)
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
  if ! "${nodisplay[@]}" "$bin/$program" --help >"$work/help" 2>&1; then
    fail "$program --help failed: $(head -3 "$work/help")"
    continue
  fi
  grep -q -- "--version" "$work/help" || fail "$program --help does not name --version"
  if "${nodisplay[@]}" "$bin/$program" --no-such-option >"$work/bad" 2>&1; then
    fail "$program accepted --no-such-option"
  fi
  grep -q -- "no-such-option" "$work/bad" || fail "$program did not name the bad option: $(head -2 "$work/bad")"
  gzip -dc "$share/man/man1/$program.1.gz" | sed 's/\\-/-/g' >"$work/man"
  while read -r option; do
    grep -Eq -- "(^|[^a-z-])$option([^a-z-]|$)" "$work/man" || fail "$program.1 lacks $option"
  done < <(grep -oE -- '--[a-z][a-z-]*' "$work/help" | sort -u)
done

# The menu entry's command, run as the desktop runs it (from the home folder): the settings
# it finds and writes are those in the data folder, and nothing lands in the home folder.
home=$work/home
data=$home/.local/share/Quellmar/Quellmar
mkdir -p "$data" "$home/run"
chmod 700 "$home/run"
{
  printf '[NetConfig]\nGateWay=127.0.0.1\nAutoIP=0\n[SerialPorts]\n'
  for n in $(seq 1 16); do echo "COM$n=/nonexistent"; done
} >"$data/QelConfig.ini"
# A later start: the first would open the PC address dialog and wait for an answer.
mkdir -p "$home/.config/Quellmar"
printf '[General]\nQuellmar_Once=1\n' >"$home/.config/Quellmar/Quellmar.conf"
read -ra command <<<"$(sed -n 's/^Exec=//p' "$share/applications/$id.desktop")"
(cd "$home" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$home/run" \
  QT_QPA_PLATFORM=offscreen PATH="$bin:$PATH" timeout 60 \
  "${command[@]}" --local-port 0 --search-port 0 --screenshot "$work/shot.png") \
  >"$work/run.log" 2>&1 || fail "menu entry command failed: $(tail -3 "$work/run.log")"
[ -s "$work/shot.png" ] || fail "menu entry command saved no picture"
grep -q '^\[MainWindow\]' "$data/QelConfig.ini" || fail "window placement not saved in $data"
[ -f "$data/mode408.dat" ] || fail "mode files not in $data"
strays=$(find "$home" -maxdepth 1 -type f)
[ -z "$strays" ] || fail "files in the home folder: $strays"

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package $(basename "$deb") checked"

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
# Installs the udev rule for the units' USB-serial chip and reloads udev, so that the user at
# the seat may open its ports. Asks for administrator rights through pkexec when it needs them.
# QUELLMAR_UDEV_DIR and QUELLMAR_UDEVADM choose another rules folder and udevadm (for tests).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
rules_dir=${QUELLMAR_UDEV_DIR:-/etc/udev/rules.d}
udevadm=${QUELLMAR_UDEVADM:-udevadm}
if [ "$(id -u)" -ne 0 ] && [ ! -w "$rules_dir" ]; then
    exec pkexec /bin/sh "$here/setup.sh"
fi
mkdir -p "$rules_dir"
install -m 0644 "$here/70-quellmar.rules" "$rules_dir/70-quellmar-usb-serial.rules"
"$udevadm" control --reload-rules
"$udevadm" trigger --action=change --subsystem-match=tty
echo "Installed $rules_dir/70-quellmar-usb-serial.rules; plug the USB cable in again."

#!/usr/bin/env bash
# Runs screen_reader_test.py on a virtual X server with a window manager, in
# a D-Bus session of its own with the AT-SPI bus, as a screen reader finds
# the window.   screen_reader_test.sh LINTAVO PATTERN
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- bash -c '
  openbox >/dev/null 2>&1 &
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  sleep 1
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 /usr/bin/python3 "$0" "$1" "$2"
' "$here/screen_reader_test.py" "$1" "$2"

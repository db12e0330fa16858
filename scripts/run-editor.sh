#!/usr/bin/env bash
# Installs what is missing, builds the editor and opens the bundled sample image.
# Without a display it starts a virtual one (Xvfb) and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh gui
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target rivo800-editor catalogues sample
# The editor looks for Sr.Ini in the directory it starts in.
cd build/release/sample
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the editor on a virtual X display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1280x800x24" ../src/shell/rivo800-editor Sample.Bin
fi
exec ../src/shell/rivo800-editor Sample.Bin

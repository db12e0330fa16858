#!/usr/bin/env bash
# Builds the Debian package of the editor and the tool:
#   build/package/rivo800-editor_VERSION_ARCH.deb
# Installs what the build needs, builds the release configuration (the same folder as the
# test command's second build), and packs what `cmake --install` installs under /usr.
# Install the result with:  sudo apt install ./build/package/rivo800-editor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target rivo800-editor rivo800-tool desktop-files catalogues
rm -f build/package/rivo800-editor_*.deb
(cd build/release && cpack -G DEB -B "$PWD/../package")
ls build/package/rivo800-editor_*.deb

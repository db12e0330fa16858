#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only when some are missing.
# Usage: scripts/setup-deps.sh [gui]   (gui adds the virtual display for the editor)
# Besides the compilers and libraries: Qt's Italian texts, gettext's tools for the
# message catalogues, rsvg-convert for the icon's bitmaps, and what the package test
# runs (dpkg-shlibdeps, desktop-file-validate, appstreamcli, update-mime-database, groff),
# and pdftotext, with which the window tests read back the PDF the editor prints.
set -euo pipefail
packages=(build-essential cmake ninja-build clang libclang-rt-14-dev
          qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
          libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev libre2-dev pkg-config
          qt6-translations-l10n librsvg2-bin gettext poppler-utils
          dpkg-dev desktop-file-utils appstream shared-mime-info groff-base)
if [ "${1:-}" = gui ]; then
  packages+=(xvfb xauth fonts-dejavu-core)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quorvane need, when missing,
# and those named as arguments (bench/run names what only the benchmarks need).
# Usage: tools/scripts/deps.sh [PACKAGE...]
set -euo pipefail
# Checked on a fresh Debian 12 root (tools/scripts/fresh-check.sh): apt-get runs without recommended
# packages, so what they would bring (make for cmake, X core fonts for SDL's message boxes under
# Xvfb) is named here. The package (tools/scripts/package.sh) needs dpkg-dev and file for its Depends,
# and librsvg2-bin for its icon's sizes; its checks need lintian, desktop-file-utils, man-db,
# appstream (the metainfo), libxml2-utils, shared-mime-info and libglib2.0-bin (the model types:
# xmllint, update-mime-database, gio), bash-completion (the completions), and GNOME's thumbnail
# factory with what it runs thumbnailers in: gir1.2-gnomedesktop-3.0, python3-gi, bubblewrap.
packages=(cmake make g++ clang libclang-rt-14-dev clang-format pkg-config libsdl2-dev libgl-dev
          libglu1-mesa-dev libgl1-mesa-dri libgtest-dev libbenchmark-dev libtinyobjloader-dev
          libpng-dev libstb-dev libassimp-dev libseccomp-dev assimp-testmodels xvfb xfonts-base
          xdotool x11-utils x11-apps imagemagick libx11-dev valgrind
          dpkg-dev file librsvg2-bin lintian desktop-file-utils man-db appstream libxml2-utils
          shared-mime-info libglib2.0-bin bash-completion gir1.2-gnomedesktop-3.0 python3-gi
          bubblewrap "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quorvane need, when missing.
set -euo pipefail
packages=(cmake g++ clang libclang-rt-14-dev clang-format pkg-config libsdl2-dev libgl-dev
          libglu1-mesa-dev libgl1-mesa-dri libgtest-dev libbenchmark-dev libtinyobjloader-dev
          libpng-dev xvfb xdotool x11-utils x11-apps imagemagick libx11-dev valgrind
          libassimp-dev assimp-testmodels libstb-dev)
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

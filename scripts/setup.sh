#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian, only when something is missing.
set -euo pipefail

packages=(cmake g++ clang make
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine32:i386 wine64 xvfb xdotool imagemagick x11-apps x11-utils libstb-dev
          libassimp-dev assimp-testmodels libtinyobjloader-dev libtinygltf-dev nlohmann-json3-dev
          nsis libx11-dev)  # libx11-dev: scripts/keycycle.sh builds its probe against Xlib

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/bin/bash
# Installs what Horokata needs on Debian 12 (sudo when not root) and builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake ninja-build pkg-config dpkg-dev
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins
    gstreamer1.0-plugins-base
    fonts-noto-cjk
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-utils imagemagick xdotool libxcb1-dev
    clang libclang-rt-14-dev
    desktop-file-utils appstream
    weston xwayland qt6-wayland
    qcoro-qt6-dev libqt6sql6-sqlite sqlite3
    qt6-translations-l10n
    at-spi2-core python3-pyatspi dbus dbus-x11
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

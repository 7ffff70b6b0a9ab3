#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need (PostgreSQL too: the
# catalog server's tests start a cluster of their own); with --bench also what the benchmarks
# measure the program against (Debian's chromium) and load the catalog server with (wrk).
# Non-interactive, skips what is already there, works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-svg-dev
  qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin hunspell-en-us
  qt6-qpa-plugins libgl1-mesa-dev libxcb1-dev libfontconfig-dev
  libcurl4-openssl-dev libpugixml-dev libpng-dev libjpeg-dev libgif-dev zlib1g-dev libzip-dev
  libcpp-httplib-dev libsqlite3-dev libssl-dev libmicrohttpd-dev libpq-dev postgresql
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth openbox xdotool imagemagick fonts-dejavu-core clang-format xdg-utils python3 desktop-file-utils
  libgtk-3-dev libwebkit2gtk-4.1-dev
  dbus-daemon dbus-bin
  weston qt6-wayland
  trayer haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils
  curl
  appstream desktop-file-utils systemd dpkg-dev file lintian
)
if [ "${1:-}" = --bench ]; then
  packages+=(chromium wrk)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

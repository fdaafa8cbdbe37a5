#!/usr/bin/env bash
# Installs the Debian packages the project needs; quiet, idempotent, and fast when all is present.
# Usage: scripts/setup-deps.sh [build|bench]   (build: what ./test.sh and ./run.sh need)
set -euo pipefail

build_pkgs=(
  cmake g++ pkg-config ccache
  qt6-base-dev libqt6svg6 libjpeg62-turbo-dev libturbojpeg0-dev liblcms2-dev libpugixml-dev libcurl4-openssl-dev
  libssl-dev libicu-dev zlib1g-dev libjpeg-turbo-progs
  qtkeychain-qt6-dev libsecret-1-0
  libgtest-dev
  desktop-file-utils appstream dpkg-dev file man-db qt6-translations-l10n
  python3 python3-pyftpdlib
  dbus-daemon python3-dbus python3-gi openssl gnome-keyring
  fonts-dejavu-core fonts-liberation adwaita-icon-theme
  xvfb xdotool x11-apps imagemagick
)
bench_pkgs=(libvips-tools exiv2 netpbm curl clang-16 libclang-rt-16-dev libbenchmark-dev hyperfine)

want=("${build_pkgs[@]}")
[ "${1:-build}" = bench ] && want+=("${bench_pkgs[@]}")

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

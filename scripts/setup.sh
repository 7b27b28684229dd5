#!/usr/bin/env bash
# Installs every Debian package the project needs (run as root; idempotent).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-svg-dev
  qt6-multimedia-dev qt6-serialport-dev
  liblog4cpp5-dev libasio-dev libssl-dev
  libfaac-dev libx264-dev libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  libyuv-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-wqy-microhei xvfb xauth libx11-dev openbox xdotool x11-utils
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-pulseaudio gstreamer1.0-tools
  linux-libc-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

# FAAC lives in Debian's non-free component: add it to every source entry that lacks it (the
# word exactly; "non-free-firmware" is another component).
enable_non_free() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -i -E '/^Components:/{/[[:space:]]non-free([[:space:]]|$)/!s/[[:space:]]*$/ non-free/}' "$f"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -i -E '/^deb /{/[[:space:]]non-free([[:space:]]|$)/!s/[[:space:]]*$/ non-free/}' \
      /etc/apt/sources.list
  fi
}
enable_non_free

export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

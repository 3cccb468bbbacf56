#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running talu need.
# Quick when everything is present: apt is only touched when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev timgm6mb-soundfont libarchive-dev libjpeg-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-mincho fonts-ipafont-gothic
  qt6-base-dev qt6-translations-l10n
  # Read-aloud: Qt TextToSpeech (its headers need qt6-declarative-dev, which Debian's
  # qt6-speech-dev does not pull in) and voices from speech-dispatcher with espeak-ng.
  qt6-speech-dev qt6-declarative-dev
  qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
  # The text feed's WebSocket server.
  qt6-websockets-dev
  xvfb xdotool x11-utils xauth imagemagick
  qt6-wayland weston
  locales
  dpkg-dev lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"

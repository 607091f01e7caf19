#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when
# they are missing. Safe to run again.
set -euo pipefail

packages=(
  cmake g++ make pkg-config python3
  qt6-base-dev qt6-translations-l10n qt6-image-formats-plugins libjpeg62-turbo-dev libglm-dev libosmesa6-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  fonts-liberation poppler-utils xvfb xauth
  clang libclang-rt-14-dev
  fp-utils libchm-bin xchm
  dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

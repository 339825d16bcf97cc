#!/usr/bin/env bash
# Installs the Debian packages Tabellan needs to build, test and run.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang-14 libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libucl-dev libicu-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps imagemagick poppler-utils
  fonts-dejavu-core python3
  librsvg2-bin desktop-file-utils appstream man-db dpkg-dev
  xdg-utils libqt6svg6
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "bootstrap: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

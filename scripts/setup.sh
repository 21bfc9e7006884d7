#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: when everything is installed it only checks and returns.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config           # build
  libwxgtk3.2-dev libgl-dev libglu1-mesa-dev # GUI and 3D view
  libeigen3-dev                              # SVD and standard factorizations
  libgtest-dev libgmock-dev                  # unit and GUI tests
  libbenchmark-dev                           # benchmarks
  xvfb xauth fonts-noto-cjk                  # headless GUI tests, Chinese glyphs
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages are installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

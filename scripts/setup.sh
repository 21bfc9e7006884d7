#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: when everything is installed it only checks and returns.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config           # build
  python3                                    # source checks run by the tests
  libwxgtk3.2-dev libgl-dev libglu1-mesa-dev # GUI and 3D view
  libeigen3-dev                              # SVD and standard factorizations
  libgeographiclib-dev                       # exact transverse Mercator, antipodal geodesics
  libgtest-dev libgmock-dev                  # unit and GUI tests
  libbenchmark-dev                           # benchmarks
  libturbojpeg0-dev libpng-dev libtiff-dev libexif-dev  # photo formats
  libdxflib-dev                              # an independent reader of the map's DXF, in the tests
  xvfb xauth fonts-noto-cjk                  # headless GUI tests, Chinese glyphs
  locales                                    # a comma-decimal locale for the tests
  clang libclang-rt-dev                      # fuzz targets: libFuzzer and the sanitizers
  wx3.2-i18n                                 # wx's own texts (stock buttons, dialogs) in Chinese
  desktop-file-utils shared-mime-info        # the install test: menu entries and file types
)

# The tests prove that numbers are read and written the same whatever the
# process locale; they need one that writes a decimal comma. The programs
# take the toolkit's own texts (file dialogs, message box buttons) from the
# Chinese locale's messages.
LOCALES=(de_DE.UTF-8 zh_CN.UTF-8)

has_locale() {
  locale -a 2>/dev/null | grep -qix "${1%.UTF-8}.utf8"
}

make_test_locale() {
  local gen=/etc/locale.gen wanted=0 name
  for name in "${LOCALES[@]}"; do
    has_locale "$name" && continue
    wanted=1
    echo "setup: generating the $name locale"
    if [ -f "$gen" ] && grep -q "^# *$name UTF-8" "$gen"; then
      $SUDO sed -i "s/^# *$name UTF-8/$name UTF-8/" "$gen"
    elif ! grep -q "^$name UTF-8" "$gen" 2>/dev/null; then
      echo "$name UTF-8" | $SUDO tee -a "$gen" >/dev/null
    fi
  done
  [ "$wanted" -eq 0 ] || $SUDO locale-gen >/dev/null
}

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages are installed"
  make_test_locale
  exit 0
fi

echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
make_test_locale

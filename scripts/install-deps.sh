#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the editor, the tests (the install and package
# checks among them) and the icon and screenshot scripts need, when missing.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang-14 libfuzzer-14-dev libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-qpa-plugins libjpeg62-turbo-dev python3 python3-fonttools fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev
    cc1541 cbmconvert
    xvfb openbox x11-utils
    dpkg-dev desktop-file-utils appstream shared-mime-info libglib2.0-bin
    librsvg2-bin xdotool imagemagick
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

#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the editor, the tests (the install and package
# checks among them) and the icon and screenshot scripts need, when missing.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang-14 libfuzzer-14-dev libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-qpa-plugins libjpeg62-turbo-dev libfontconfig-dev libxcb1-dev
    python3 python3-fonttools fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev
    cc1541 cbmconvert
    xvfb openbox x11-utils
    dpkg-dev desktop-file-utils appstream shared-mime-info libglib2.0-bin lintian
    man-db bash-completion
    librsvg2-bin xdotool imagemagick
)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# VICE (x64sc), against whose options the emulator launch is checked, is in Debian's contrib
# section, which a machine may not carry: without it that test is skipped.
if ! installed vice && apt-cache policy vice 2>/dev/null | grep -q "Candidate: [0-9]"; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends vice ||
        echo "vice could not be installed: the check of VICE's options is skipped"
fi

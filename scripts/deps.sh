#!/usr/bin/env bash
# Installs the Debian 12 packages Varnoset needs, only when some are missing.
#   deps.sh build    what building and running the program needs
#   deps.sh test     that, plus what the tests, benchmarks and the private desktop need
set -euo pipefail

build_pkgs=(
    cmake ninja-build g++ pkg-config make
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6opengl6-dev
    libjpeg62-turbo-dev libxcb1-dev libxcb-keysyms1-dev libxcb-shm0-dev
    libcanberra-dev libcanberra-pulse fonts-liberation
    xdg-utils
)
desktop_pkgs=(
    xvfb xauth openbox trayer x11-utils x11-xserver-utils imagemagick xdotool x11-apps
    cups cups-bsd cups-client ghostscript
)
test_pkgs=(
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
    libxcb-xtest0-dev libxcb-damage0-dev
    xdotool xclip x11-apps desktop-file-utils
    cups cups-bsd cups-client ghostscript poppler-utils
    pulseaudio pulseaudio-utils sox libjpeg-turbo-progs scrot tesseract-ocr
)

case "${1:-build}" in
    build) wanted=("${build_pkgs[@]}") ;;
    desktop) wanted=("${build_pkgs[@]}" "${desktop_pkgs[@]}") ;;
    test) wanted=("${build_pkgs[@]}" "${desktop_pkgs[@]}" "${test_pkgs[@]}") ;;
    *) echo "usage: $0 build|desktop|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if ((EUID != 0)); then
    command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
# Without --no-install-recommends apt pulls in systemd, udev, avahi and a whole desktop.
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

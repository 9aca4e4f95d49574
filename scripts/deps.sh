#!/usr/bin/env bash
# Installs the Debian 12 packages Varnoset needs, only when some are missing.
#   deps.sh build    what building and running the program needs
#   deps.sh deb      that, plus Debian's and AppStream's checks of the package (make deb)
#   deps.sh test     that, plus what the tests, benchmarks and the private desktop need
#   deps.sh bench    that, plus the screenshot tools the benchmarks compare with
set -euo pipefail

build_pkgs=(
    cmake ninja-build g++ pkg-config make
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6opengl6-dev
    libjpeg62-turbo-dev libpng-dev libxcb1-dev libxcb-keysyms1-dev libxcb-shm0-dev libxcb-xinput-dev
    libcanberra-dev libcanberra-pulse libglib2.0-dev fonts-liberation fonts-dejavu-core
    qt6-wayland
)
deb_pkgs=(lintian appstream)
desktop_pkgs=(
    xvfb xauth openbox trayer x11-utils x11-xserver-utils imagemagick xdotool x11-apps
    cups cups-bsd cups-client ghostscript
)
test_pkgs=(
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
    libxcb-xtest0-dev libxcb-damage0-dev
    xdotool xclip x11-apps desktop-file-utils lintian appstream
    cups cups-bsd cups-client ghostscript poppler-utils cups-ipp-utils avahi-daemon
    pulseaudio pulseaudio-utils sox libjpeg-turbo-progs scrot tesseract-ocr
    sway swaybg xwayland grim wtype wl-clipboard wayvnc pipewire dbus-daemon dbus-bin
    libglib2.0-bin xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
    python3-dbus python3-gi at-spi2-core python3-pyatspi
    xfce4-panel xfwm4 xfce4-settings xfconf xfce4-notifyd
    gnome-shell gjs mutter gnome-settings-daemon gnome-shell-extension-appindicator dconf-cli
    xdg-desktop-portal-gnome wireplumber gir1.2-gst-plugins-base-1.0 gstreamer1.0-plugins-base
    gstreamer1.0-pipewire plasma-desktop plasma-workspace kwin-x11 kde-spectacle
)
bench_pkgs=(libbenchmark-dev scrot maim imagemagick libjpeg-turbo-progs dbus-daemon bsdextrautils)
# Compared with where they install; the benchmarks leave out what is missing.
bench_optional_pkgs=(flameshot ksnip)

optional=()
case "${1:-build}" in
    build) wanted=("${build_pkgs[@]}") ;;
    deb) wanted=("${build_pkgs[@]}" "${deb_pkgs[@]}") ;;
    desktop) wanted=("${build_pkgs[@]}" "${desktop_pkgs[@]}") ;;
    test) wanted=("${build_pkgs[@]}" "${desktop_pkgs[@]}" "${test_pkgs[@]}") ;;
    bench)
        wanted=("${build_pkgs[@]}" "${desktop_pkgs[@]}" "${test_pkgs[@]}" "${bench_pkgs[@]}")
        optional=("${bench_optional_pkgs[@]}")
        ;;
    *) echo "usage: $0 build|deb|desktop|test|bench" >&2; exit 2 ;;
esac

not_installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}
mapfile -t missing < <(not_installed "${wanted[@]}")
mapfile -t missing_optional < <(not_installed "${optional[@]}")
((${#missing[@]} + ${#missing_optional[@]} == 0)) && exit 0

echo "Installing: ${missing[*]} ${missing_optional[*]}"
sudo=()
if ((EUID != 0)); then
    command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
# Without --no-install-recommends apt pulls in systemd, udev, avahi and a whole desktop.
if ((${#missing[@]})); then
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for p in "${missing_optional[@]}"; do
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$p" ||
        echo "deps.sh: $p did not install; the benchmarks leave it out" >&2
done

#!/usr/bin/env bash
# Installs a build into a throw-away root with its CMake install rules and checks that the
# program, the desktop entries and every icon arrive where the desktop looks for them.
#   check_install.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: check_install.sh BUILD_DIR}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=/usr/local

DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null
base=$root$prefix

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

[[ -x $base/bin/varnoset ]] || fail "bin/varnoset is missing or not executable"
for entry in applications/varnoset.desktop varnoset/varnoset-autostart.desktop; do
    file=$base/share/$entry
    if [[ ! -f $file ]]; then
        fail "share/$entry is missing"
        continue
    fi
    desktop-file-validate "$file" || fail "share/$entry is not a valid desktop entry"
    grep -qx 'Exec=varnoset' "$file" || fail "share/$entry does not start varnoset"
    grep -qx 'Icon=varnoset' "$file" || fail "share/$entry does not name the varnoset icon"
    categories=$(sed -n 's/^Categories=//p' "$file")
    [[ ";$categories" == *";Utility;"* && ";$categories" == *";Graphics;"* ]] ||
        fail "share/$entry has categories '$categories', not Utility and Graphics"
done

# Each icon is a PNG of the size its folder promises.
for size in 16 32 48 256; do
    icon=$base/share/icons/hicolor/${size}x${size}/apps/varnoset.png
    if [[ ! -f $icon ]]; then
        fail "the ${size}x${size} icon is missing"
        continue
    fi
    actual=$(identify -format '%m %wx%h' "$icon" 2>/dev/null || true)
    [[ $actual == "PNG ${size}x${size}" ]] || fail "the ${size}x${size} icon is '$actual'"
done

# Nothing lands outside the prefix.
outside=$(cd "$root" && find . -type f ! -path ".$prefix/*")
[[ -z $outside ]] || fail "files outside $prefix: $outside"

if ((failures > 0)); then
    echo "$failures problem(s) in the installed tree" >&2
    exit 1
fi
echo "install rules: program, desktop entries and icons are in place under $prefix"

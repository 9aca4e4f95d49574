#!/usr/bin/env bash
# Checks a built Varnoset .deb: its control fields, that it holds the program, the desktop
# entry and every icon, that each library the program links comes from a package it depends
# on, that Debian's lintian and AppStream's validator find nothing to report, and that the
# packaged program actually runs.
#   check_deb.sh path/to/varnoset_*.deb
# VARNOSET_DEB_IGNORE_LIBS lists libraries a test build links that no release package ships
# (the sanitizer runtimes), e.g. "libasan.so.8 libubsan.so.1".
# VARNOSET_LINTIAN_SUPPRESS lists lintian tags, comma-separated, that only a test build causes;
# a package for users is checked with none.
set -euo pipefail

deb=${1:?usage: check_deb.sh package.deb}
[[ -f $deb ]] || { echo "no such package: $deb" >&2; exit 1; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

field() { dpkg-deb -f "$deb" "$1"; }

[[ $(field Package) == varnoset ]] || fail "Package is '$(field Package)', not varnoset"
[[ $(field Version) =~ ^[0-9]+\.[0-9]+\.[0-9]+ ]] || fail "Version '$(field Version)' is not a version"
[[ $(field Section) == graphics ]] || fail "Section is '$(field Section)', not graphics"
[[ -n $(field Maintainer) ]] || fail "Maintainer is empty"
depends=$(field Depends)
[[ -n $depends ]] || fail "Depends is empty"
# The names alone, one a line: "libqt6core6 (>= 6.4), libxcb1" -> libqt6core6 / libxcb1.
depends_names=$(tr ',|' '\n\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/:any//' -e 's/[[:space:]]//g' | grep -v '^$' || true)
grep -qx libqt6widgets6 <<<"$depends_names" || fail "Depends does not name libqt6widgets6: $depends"

# Paths as dpkg-deb lists them ("./usr/bin/varnoset"), without the leading "./".
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')
expected=(
    usr/bin/varnoset
    usr/share/applications/varnoset.desktop
    usr/share/varnoset/varnoset-autostart.desktop
)
for size in 16 32 48 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/varnoset.png")
done
for path in "${expected[@]}"; do
    grep -qx "$path" <<<"$contents" || fail "package lacks $path"
done
# Everything installed must sit under /usr: a path outside it means a rule forgot the prefix.
outside=$(grep -v -e '^usr/' -e '^$' <<<"$contents" || true)
[[ -z $outside ]] || fail "files outside usr/: $outside"

# Errors, warnings and information tags all fail; pedantic tags are shown but do not.
if command -v lintian >/dev/null; then
    suppress=()
    [[ -n ${VARNOSET_LINTIAN_SUPPRESS:-} ]] && suppress=(--suppress-tags "$VARNOSET_LINTIAN_SUPPRESS")
    lintian --fail-on error,warning,info --display-info --pedantic "${suppress[@]}" "$deb" ||
        fail "lintian reports the problems above"
else
    fail "lintian is not installed (scripts/deps.sh deb installs it)"
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

# The software centres' metadata, with the desktop entry it names, passes without a warning.
if command -v appstreamcli >/dev/null; then
    if ! report=$(appstreamcli validate-tree --no-net --strict "$root" 2>&1); then
        echo "$report" >&2
        fail "appstreamcli finds problems in the AppStream metadata"
    fi
else
    fail "appstreamcli is not installed (scripts/deps.sh deb installs it)"
fi
program=$root/usr/bin/varnoset
[[ -x $program ]] || fail "usr/bin/varnoset is not executable"

# Each library the program asks for by name must belong to a package in Depends, or a fresh
# machine that installs the package can be left without it.
if command -v dpkg-query >/dev/null && [[ -x $program ]]; then
    ignored=" ${VARNOSET_DEB_IGNORE_LIBS:-} "
    while read -r lib; do
        [[ $ignored == *" $lib "* ]] && continue
        path=$(ldd "$program" | awk -v lib="$lib" '$1 == lib {print $3}')
        [[ -n $path && -e $path ]] || { fail "$lib is not found on this machine"; continue; }
        owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null || true)
        owner=${owner%%:*}
        [[ -n $owner ]] || { echo "note: no package owns $path; not checked" >&2; continue; }
        grep -qx "$owner" <<<"$depends_names" || fail "$lib comes from $owner, which Depends lacks"
    done < <(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
fi

# The packaged program starts, finds it has no X11 display, says so and exits with status 1.
if [[ -x $program ]]; then
    set +e
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1 </dev/null)
    status=$?
    set -e
    [[ $status -eq 1 ]] || fail "packaged program exited with $status, not 1: $output"
    grep -q "needs an X11 desktop" <<<"$output" || fail "packaged program did not say it needs an X11 desktop: $output"
fi

if ((failures > 0)); then
    echo "$deb: $failures problem(s)" >&2
    exit 1
fi
echo "$deb: control fields, contents, lintian, AppStream, library owners and start-up are correct"

#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks that the installed programs find what they
# need there. usage: check_install.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

passed=0
failed=0
expect() { # description, command...
    if "${@:2}" >/dev/null 2>&1; then
        echo "ok: $1"
        passed=$((passed + 1))
    else
        echo "FAIL: $1"
        failed=$((failed + 1))
    fi
}
expect "vbu installed" test -x "$prefix/bin/vbu"
expect "vbu-cfg installed" test -x "$prefix/bin/vbu-cfg"
expect "catalogue installed" test -s "$prefix/share/vbu/commands.dat"
expect "desktop entry starts vbu" grep -qx 'Exec=vbu %f' "$prefix/share/applications/vbu.desktop"
expect "desktop entry names the icon" grep -qx 'Icon=vbu' "$prefix/share/applications/vbu.desktop"
# A PNG's width and height stand in its header at bytes 16 to 23, big-endian.
png_size_is() { # file, size
    local hex
    hex=$(printf '%08x' "$2" | sed 's/../ &/g')
    [ "$(od -An -tx1 -j16 -N8 "$1" | tr -s ' ')" = "$hex$hex" ]
}
for size in 16 32 48 64 128 256; do
    expect "icon ${size}x${size}" png_size_is "$prefix/share/icons/hicolor/${size}x${size}/apps/vbu.png" "$size"
done
for page in vbu vbu-cfg; do
    expect "$page(1) installed compressed" bash -c "zcat '$prefix/share/man/man1/$page.1.gz' | grep -qi '^\.TH $page 1'"
done
# The installed companion, run from another folder, reads the installed catalogue by default.
expect "installed program finds its catalogue" bash -c "cd / && '$prefix/bin/vbu-cfg' catalogue | head -n 1 | grep -qx 'version 1.0'"
expect "installed catalogue is the shipped one" cmp -s "$prefix/share/vbu/commands.dat" "$(dirname "$0")/../../data/commands.dat"
echo "install: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks what it holds, its control data, and
# its desktop files with the freedesktop and AppStream validators. No network, no root.
# usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
version=${2:?version}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" -D CPACK_PACKAGING_INSTALL_PREFIX=/usr >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(echo "$work"/out/*.deb)

passed=0
failed=0
expect() { # description, command...
    if "${@:2}" >"$work/last.log" 2>&1; then
        passed=$((passed + 1))
    else
        echo "FAIL: $1"
        sed 's/^/    /' "$work/last.log"
        failed=$((failed + 1))
    fi
}
field() { dpkg-deb -f "$deb" "$1"; }

expect "file name from name, version and architecture" test "${deb##*/}" = "vbu_${version}_$(dpkg --print-architecture).deb"
expect "version" test "$(field Version)" = "$version"
expect "architecture" test "$(field Architecture)" = "$(dpkg --print-architecture)"
# Computed dependencies carry the versions the libraries' symbols need; nobody lists libc6 by hand.
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    expect "depends on $lib" grep -Eq "(^|, )$lib \(>= [^)]+\)" <<<"$(field Depends)"
done

dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' >"$work/contents"
has() { grep -Eq "^$1 root/root \./usr/$2\$" "$work/contents"; }
for path in bin/vbu bin/vbu-cfg; do
    expect "$path executable" has '-rwxr-xr-x' "$path"
done
for path in share/vbu/commands\.dat 'share/man/man1/vbu(-cfg)?\.1\.gz' 'share/applications/[^/]+\.desktop' \
    'share/metainfo/[^/]+\.metainfo\.xml' 'share/mime/packages/[^/]+\.xml' 'share/icons/hicolor/[0-9]+x[0-9]+/apps/vbu\.png' \
    share/bash-completion/completions/vbu-cfg share/doc/vbu/copyright share/doc/vbu/changelog\.gz; do
    expect "$path" has '-rw-r--r--' "$path"
done
only_usr() {
    ! grep -Ev '^(-rw-r--r--|-rwxr-xr-x|drwxr-xr-x) root/root \./(usr/|$)' "$work/contents" &&
        ! grep -F ' ./usr/local/' "$work/contents"
}
expect "every entry a plain file or folder of root's under /usr, none under /usr/local" only_usr

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
for desktop in "$share"/applications/*.desktop; do
    expect "${desktop##*/} valid" desktop-file-validate "$desktop"
done
for metainfo in "$share"/metainfo/*.xml; do
    expect "${metainfo##*/} valid" appstreamcli validate --no-net "$metainfo"
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
    expect "${metainfo##*/} launches a packaged desktop entry" test -f "$share/applications/$launchable"
done

# The file type the menu entry declares: defined by the package, a kind of text, and its
# *.cfg glob weaker than the default weight, so another program's *.cfg type wins.
mkdir -p "$work/mime"
cp -r "$share/mime/packages" "$work/mime/"
expect "MIME package well-formed" xmllint --noout "$work"/mime/packages/*.xml
expect "MIME database builds" update-mime-database "$work/mime"
for type in $(sed -n 's/^MimeType=//p' "$share"/applications/*.desktop | tr ';' ' '); do
    expect "$type is a kind of text/plain" grep -qx "$type text/plain" "$work/mime/subclasses"
    for pattern in '*.cfg' '*.scr'; do
        expect "$type claims $pattern weakly" awk -F: -v t="$type" -v p="$pattern" \
            '$2 == t && $3 == p && $1 < 50 { found = 1 } END { exit !found }' "$work/mime/globs2"
    done
done

for page in "$share"/man/man1/*.gz; do
    expect "${page##*/} renders without warnings" bash -c "zcat '$page' | groff -man -ww -z 2>&1 | (! grep .)"
done

# The packaged programs run from the unpacked tree and find the packaged catalogue.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
expect "vbu-cfg --version" test "$("$root/usr/bin/vbu-cfg" --version)" = "vbu-cfg $version"
expect "vbu --version without a display" test "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vbu" --version)" = "vbu $version"
expect "vbu-cfg reads the packaged catalogue" bash -c "cd / && '$root/usr/bin/vbu-cfg' catalogue | head -n 1 | grep -q '^version '"

# Completion: commands, options and --game values come from the program, file names from
# the folder.
complete_line() { # line typed before Tab
    (
        set +euo pipefail
        cd "$work" && PATH=$root/usr/bin:$PATH
        source /usr/share/bash-completion/bash_completion
        source "$share/bash-completion/completions/vbu-cfg"
        read -ra COMP_WORDS <<<"$1"
        [[ $1 == *' ' ]] && COMP_WORDS+=('')
        COMP_LINE=$1 COMP_POINT=${#1} COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _vbu_cfg vbu-cfg "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}"
    )
}
touch "$work/autoexec.cfg"
for case in 'vbu-cfg |check' 'vbu-cfg re|resave' 'vbu-cfg --v|--version' 'vbu-cfg check --game |quake2' \
    'vbu-cfg items --|--command-line' 'vbu-cfg check --game both aut|autoexec.cfg'; do
    expect "completes '${case%|*}' with ${case#*|}" grep -qx -- "${case#*|}" <<<"$(complete_line "${case%|*}")"
done

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

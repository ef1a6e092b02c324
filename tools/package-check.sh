#!/usr/bin/env bash
# Installs a vbu package into a fresh, minimal Debian 12 root made with debootstrap from this
# machine's Debian archive, uses it there, removes it, checks that nothing of it is left, and
# removes the root. Run as root. usage: package-check.sh DEB
set -euo pipefail
deb=$(readlink -f "${1:?package file}")
version=$(dpkg-deb -f "$deb" Version)
started=$SECONDS

# The first archive in this machine's apt sources that carries bookworm itself (one-line or
# deb822 format).
mirror=$(
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && { cat "$f"; echo; }
    done | awk '
        function found(uri) { if (!mirror) print mirror = uri }
        function stanza() {
            if (uris != "" && (" " suites " ") ~ / bookworm /) { split(uris, u, " "); found(u[1]) }
            uris = suites = ""
        }
        /^[ \t]*$/ { stanza() }
        /^deb[ \t]/ { sub(/\[[^]]*\]/, ""); if ($3 == "bookworm") found($2) }
        /^URIs:/ { uris = substr($0, 6) }
        /^Suites:/ { suites = substr($0, 8) }'
)
[ -n "$mirror" ] || { echo "package-check: no bookworm archive in /etc/apt/sources.list*" >&2; exit 1; }

target=$(mktemp -d /var/tmp/vbu-root.XXXXXX)
remove_root() {
    local m
    for m in $(findmnt -rn -o TARGET | grep -F "$target/" | sort -r); do umount "$m"; done
    # Never delete through a mount that would not go.
    findmnt -rn -o TARGET | grep -qF "$target/" || rm -rf --one-file-system "$target" "$target.log"
}
trap remove_root EXIT

echo "== debootstrap bookworm from $mirror into $target"
debootstrap --variant=minbase bookworm "$target" "$mirror" >"$target.log" 2>&1 ||
    { tail -n 20 "$target.log"; exit 1; }
chmod 755 "$target"
mount -t proc proc "$target/proc"
# No services start in the root; dpkg's output needs no terminal.
printf '#!/bin/sh\nexit 101\n' >"$target/usr/sbin/policy-rc.d"
chmod +x "$target/usr/sbin/policy-rc.d"
echo 'Dpkg::Use-Pty "0";' >"$target/etc/apt/apt.conf.d/90no-pty"
cp "$deb" "$target/tmp/"

in_root() { chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }
failed=0
check() { # description, shell command run in the root
    if in_root sh -c "$2"; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        failed=$((failed + 1))
    fi
}

echo "== apt-get install ./${deb##*/} (its dependencies only, no recommendations)"
in_root apt-get update -qq
in_root sh -c "cd /tmp && apt-get install -y -qq --no-install-recommends './${deb##*/}'" >/dev/null
check "vbu-cfg --version" "test \"\$(vbu-cfg --version)\" = 'vbu-cfg $version'"
# shellcheck disable=SC2016 # these run in the root's shell
check "vbu-cfg catalogue prints the installed catalogue" \
    'vbu-cfg catalogue >/tmp/c && [ "$(wc -l </tmp/c)" -gt 100 ] && vbu-cfg catalogue /usr/share/vbu/commands.dat | cmp -s - /tmp/c'
# shellcheck disable=SC2016
check "every path of dpkg -L vbu is there" \
    'dpkg -L vbu >/tmp/owned && while read -r f; do [ -e "$f" ] || { echo "missing: $f"; exit 1; }; done </tmp/owned'
# The editor answers these on the terminal, without a display.
check "vbu --version" "test \"\$(timeout 20 vbu --version)\" = 'vbu $version'"
check "vbu --help" "timeout 20 vbu --help | grep -q -- --version"

# Once removed, a package installed from a file is unknown to apt; dpkg purges what is left.
echo "== apt-get remove, dpkg --purge"
in_root apt-get remove -y -qq vbu >/dev/null
in_root dpkg --purge vbu >/dev/null 2>&1
# shellcheck disable=SC2016
check "nothing of the package left (folders only where another package owns them)" \
    'while read -r f; do
         [ "$f" = /. ] || [ ! -e "$f" ] || { [ -d "$f" ] && dpkg -S "$f" >/dev/null 2>&1; } || { echo "left: $f"; exit 1; }
     done </tmp/owned'
# shellcheck disable=SC2016
check "dpkg has forgotten vbu" '! dpkg-query -W -f "\${Status}" vbu 2>/dev/null | grep -qv not-installed'
echo "== package-check: $failed failed; $((SECONDS - started)) s"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (run as root, or with sudo):
#   tools/dev.sh run    install what is missing, build, start the editor
#   tools/dev.sh test   install what is missing, build, run every test (plain and sanitized)
#   tools/dev.sh setup  only install what is missing
#   tools/dev.sh bench  build optimised and print the benchmark figures
#   tools/dev.sh package        build vbu_<version>_<arch>.deb and run lintian on it
#   tools/dev.sh package-check  install that package into a fresh Debian 12 root, use it, remove it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    fonts-dejavu-core
    libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth openbox xdotool x11-utils imagemagick
    dpkg-dev desktop-file-utils appstream libxml2-utils shared-mime-info bash-completion groff-base
)

setup() { # extra packages...
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        [ "$(id -u)" -eq 0 ] || { echo "Missing packages; run as root (sudo $0 $*)." >&2; exit 1; }
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

configure_build() { # dir, cmake options...
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

plain_build() { configure_build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo; }

count_tests() { ctest --test-dir "$1" -N | sed -n 's/^Total Tests: //p'; }

run_tests() {
    local started=$SECONDS
    plain_build
    echo "== tests (plain build)"
    ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

    # Sanitized: clang with AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz targets
    # come from the same build.
    configure_build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DVBU_SANITIZE=ON -DVBU_FUZZ=ON -DVBU_BENCH=OFF
    echo "== tests (sanitized build)"
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"
    echo "== fuzzing (bounded)"
    "$root/tools/fuzz.sh" "$root/build-sanitize" "${VBU_FUZZ_SECONDS:-60}"
    local fuzzed
    fuzzed=$(find "$root/build-sanitize/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | wc -l)
    echo "== plain $(count_tests "$root/build") tests, sanitized $(count_tests "$root/build-sanitize") tests, $fuzzed fuzz targets; $((SECONDS - started)) s"
    echo "$(($(count_tests "$root/build") + $(count_tests "$root/build-sanitize") + fuzzed)) passed, 0 failed"
}

# Release build with Debian's build flags (hardening included), packed by CPack; prints the path.
package_build() {
    local dir=$root/build-package
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    configure_build "$dir" -DCMAKE_BUILD_TYPE=Release -DVBU_TESTS=OFF -DVBU_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >&2
    rm -f "$dir"/vbu_*.deb
    (cd "$dir" && cpack -G DEB >&2)
    echo "$dir"/vbu_*.deb
}

case "${1:-}" in
setup) setup ;;
run)
    setup
    plain_build
    exec "$root/build/bin/vbu" "${@:2}"
    ;;
test)
    setup
    run_tests
    ;;
bench)
    setup
    configure_build "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DVBU_TESTS=OFF
    cmake --build "$root/build-bench" --target bench
    ;;
package)
    setup lintian
    deb=$(package_build)
    echo "== $deb"
    lintian -I --pedantic --fail-on error,warning "$deb"
    echo "== lintian: clean"
    ;;
package-check)
    setup debootstrap
    "$root/tools/package-check.sh" "$(package_build)"
    ;;
*)
    echo "usage: $0 run|test|setup|bench|package|package-check" >&2
    exit 2
    ;;
esac

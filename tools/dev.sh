#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (run as root, or with sudo):
#   tools/dev.sh run [FILE]  install what the editor needs, build it alone, start it
#   tools/dev.sh test        install everything, build, lint, run every test (plain and sanitized)
#   tools/dev.sh lint [--all] clang-tidy on the changed C++ files (every file with --all), and
#                            clang-format over every C++ file
#   tools/dev.sh setup       only install what is missing for the tests
#   tools/dev.sh bench       build optimised and print the benchmark figures (installs vim to time beside)
#   tools/dev.sh package     build vbu_<version>_<arch>.deb and run lintian on it
#   tools/dev.sh package-check  install that package into a fresh Debian 12 root, use it, remove it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

# What building and running the editor needs.
run_packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    fonts-dejavu-core
)
# Everything the tests, checks, benchmarks and fuzzing need besides.
test_packages=(
    "${run_packages[@]}"
    git
    libbenchmark-dev
    clang libclang-rt-14-dev clang-tidy-14 clang-format-14
    xvfb xauth openbox xdotool x11-utils imagemagick
    dpkg-dev desktop-file-utils appstream libxml2-utils shared-mime-info bash-completion groff-base
)

install_missing() { # packages...
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        [ "$(id -u)" -eq 0 ] || { echo "Missing packages; run as root (sudo $0)." >&2; exit 1; }
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

configure() { # dir, cmake options...
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
}

configure_build() { # dir, cmake options...
    configure "$@"
    cmake --build "$1" -j "$jobs"
}

plain_build() { configure_build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVBU_WERROR=ON; }

count_tests() { ctest --test-dir "$1" -N | sed -n 's/^Total Tests: //p'; }

# The C++ files to lint: those changed since the merge base with the upstream branch, working
# tree included; without an upstream, or with nothing ahead of it, those of the last commit.
changed_files() {
    local base= upstream
    if upstream=$(git rev-parse -q --verify '@{upstream}' 2>/dev/null); then
        base=$(git merge-base HEAD "$upstream")
        [ "$base" != "$(git rev-parse HEAD)" ] || base=
    fi
    if [ -z "$base" ]; then
        base=$(git rev-parse -q --verify HEAD~1 || git hash-object -t tree /dev/null)
    fi
    git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h'
}

# Every source file of the build, for clang-tidy; a header is checked through its own .cpp.
lint_sources() { # all|changed
    local list
    if [ "$1" = all ]; then
        list=$(git ls-files '*.cpp')
    else
        list=$(changed_files | sed 's/\.h$/.cpp/' | sort -u)
    fi
    for f in $list; do
        [ -f "$f" ] && grep -q "\"file\": \"$root/$f\"" "$root/build/compile_commands.json" && echo "$f"
    done
    return 0
}

lint() { # [--all]
    # Looked up here, after the packages are installed.
    local tidy format
    tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
    format=$(command -v clang-format-14 || command -v clang-format || true)
    [ -n "$tidy" ] && [ -n "$format" ] || { echo "clang-tidy-14 and clang-format-14 are needed (tools/dev.sh setup)" >&2; exit 1; }
    [ -f "$root/build/compile_commands.json" ] || plain_build
    local status=0 files
    echo "== clang-format (every C++ file)"
    git ls-files '*.cpp' '*.h' | xargs "$format" --dry-run -Werror || status=1
    files=$(lint_sources "$([ "${1:-}" = --all ] && echo all || echo changed)")
    echo "== clang-tidy ($(echo "$files" | grep -c . || true) files)"
    if [ -n "$files" ]; then
        # The generated moc files the sources include must be there.
        cmake --build "$root/build" -j "$jobs" >/dev/null
        echo "$files" | xargs -P "$jobs" -n 1 "$tidy" -p "$root/build" --quiet 2>/dev/null || status=1
    fi
    return $status
}

run_tests() {
    local started=$SECONDS
    plain_build
    echo "== lint"
    lint
    echo "== tests (plain build)"
    ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

    # Sanitized: clang with AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz targets
    # come from the same build.
    configure_build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DVBU_SANITIZE=ON -DVBU_FUZZ=ON -DVBU_BENCH=OFF -DVBU_WERROR=ON
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
setup) install_missing "${test_packages[@]}" ;;
run)
    install_missing "${run_packages[@]}"
    # The editor alone, with its catalogue and icons; no tests, no benchmarks.
    configure "$root/build-run" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVBU_TESTS=OFF -DVBU_BENCH=OFF
    cmake --build "$root/build-run" -j "$jobs" --target vbu vbu-icons
    exec "$root/build-run/bin/vbu" "${@:2}"
    ;;
test)
    install_missing "${test_packages[@]}"
    run_tests
    ;;
lint)
    install_missing "${test_packages[@]}"
    lint "${@:2}"
    ;;
bench)
    # vim only as the side-by-side reference the command-line tool's reading is timed against.
    install_missing "${test_packages[@]}" vim
    configure_build "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DVBU_TESTS=OFF
    cmake --build "$root/build-bench" --target bench
    ;;
package)
    install_missing "${test_packages[@]}" lintian
    deb=$(package_build)
    echo "== $deb"
    lintian -I --pedantic --fail-on error,warning "$deb"
    echo "== lintian: clean"
    ;;
package-check)
    install_missing "${test_packages[@]}" debootstrap
    "$root/tools/package-check.sh" "$(package_build)"
    ;;
*)
    echo "usage: $0 run [FILE]|test|lint [--all]|setup|bench|package|package-check" >&2
    exit 2
    ;;
esac

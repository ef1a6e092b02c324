#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, from the committed seeds.
# usage: tools/fuzz.sh BUILD_DIR [SECONDS_EACH] [TARGET...]
set -euo pipefail
build=${1:?build directory}
seconds=${2:-60}
shift $(( $# > 1 ? 2 : 1 ))
here=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for bin in "$build"/fuzz/fuzz_*; do [ -f "$bin" ] && [ -x "$bin" ] && targets+=("$(basename "$bin")"); done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/fuzz" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for name in "${targets[@]}"; do
    mkdir -p "$work/$name"
    seeds="$here/fuzz/corpus/$name"
    args=(-max_total_time="$seconds" -rss_limit_mb=4096 -timeout=25 -print_final_stats=1 -artifact_prefix="$work/$name-")
    [ -f "$here/fuzz/dict/$name.dict" ] && args+=(-dict="$here/fuzz/dict/$name.dict")
    # Targets whose faults show only on large inputs: the checks must stay linear on long scripts.
    case $name in
        fuzz_check) args+=(-max_len=524288) ;;
    esac
    echo "== $name (${seconds}s)"
    dirs=("$work/$name")
    [ -d "$seeds" ] && dirs+=("$seeds")
    if ! "$build/fuzz/$name" "${args[@]}" "${dirs[@]}" >"$work/$name.log" 2>&1; then
        status=1
        tail -n 60 "$work/$name.log"
        ls "$work"/"$name"-* 2>/dev/null | while read -r f; do echo "artifact: $f"; xxd "$f" | head -n 20; done
    fi
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$work/$name.log" | tail -n 2 || true
done
exit $status

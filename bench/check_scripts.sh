#!/usr/bin/env bash
# Writes the scripts the checker's time and memory are measured on, into OUT_DIR:
#   realistic.cfg   1,000,000 lines of the players' configs in the corpus, over and over
#   comments.cfg    one line of "//;" 320,000 times
#   commands.cfg    one line of 80,000 commands, each binding a key the game does not know
#   tiny.cfg        90 MB of lines of a few bytes
#   semicolons.cfg  one line of 1,000,000 ';'
# usage: bench/check_scripts.sh OUT_DIR [CORPUS_DIR]
# then:  /usr/bin/time -v build/bin/vbu-cfg check --game quake OUT_DIR/realistic.cfg >/dev/null
set -euo pipefail
out=${1:?output directory}
corpus=${2:-$(dirname "$0")/../tests/data/corpus}
mkdir -p "$out"
cfgs=("$corpus"/*.cfg)
[ -f "${cfgs[0]}" ] || { echo "no .cfg files in $corpus" >&2; exit 1; }
# Every line ends in CR LF, as Save writes it.
awk '{ sub(/\r$/, ""); kept[n++] = $0 }
     END { for (i = 0; i < 1000000; ++i) printf "%s\r\n", kept[i % n] }' "${cfgs[@]}" >"$out/realistic.cfg"
repeat() { awk -v text="$1" -v times="$2" 'BEGIN { for (i = 0; i < times; ++i) printf "%s", text }'; }
repeat '//;' 320000 >"$out/comments.cfg"
awk 'BEGIN { for (i = 1; i <= 80000; ++i) printf "bind k%d +attack;", i }' >"$out/commands.cfg"
repeat '+jump\n;\n//\n\nw\n' 6428571 >"$out/tiny.cfg"
repeat ';' 1000000 >"$out/semicolons.cfg"

#!/bin/sh
# Builds the corpus (see make_corpus.sh) and runs zip_bench on it.
#   run_bench.sh ZIP_BENCH [EXECUTABLE] [CORPUS_DIR]
# ZIP_BENCH is the built benchmark, e.g. build/bench/bench/zip/zip_bench; EXECUTABLE the
# program to include (default /usr/bin/cmake; gobu.exe once it exists).
set -e
bench=${1:?usage: run_bench.sh ZIP_BENCH [EXECUTABLE] [CORPUS_DIR]}
exe=${2:-/usr/bin/cmake}
corpus=${3:-${TMPDIR:-/tmp}/gobu-zip-corpus}
here=$(dirname "$0")
rm -rf "$corpus"
"$here/make_corpus.sh" "$corpus" "$exe"
find "$corpus" -type f | LC_ALL=C sort | xargs "$bench" --repeat "${REPEAT:-3}"

#!/usr/bin/env bash
# Builds a libFuzzer target with clang (address and undefined-behaviour
# checks) apart from the main build, and runs it for a while.
#   run-fuzz.sh SOURCE_DIR BUILD_DIR TARGET SECONDS MAX_LEN [SEED_DIR_OR_FILE...]
# SOURCE_DIR is the target's own CMake project; an lsan.supp there holds
# leak reports to ignore (in libraries, not ours), a *.dict the file
# format's markers. New inputs that reach new code are kept in
# BUILD_DIR/corpus, so later runs start where earlier ones stopped. A crash,
# leak, hang or failed check fails the run and leaves its input in
# BUILD_DIR/artifacts: add it to the target's regression folder.
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
build="$2"
target="$3"
seconds="$4"
max_len="$5"
shift 5

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build"

mkdir -p "$build/corpus" "$build/artifacts" "$build/seeds"
seeds=()
for s in "$@"; do
  if [[ -d "$s" ]]; then seeds+=("$s")
  elif [[ -f "$s" ]]; then cp "$s" "$build/seeds/"
  fi
done
seeds+=("$build/seeds")

options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len"
         -artifact_prefix="$build/artifacts/" -print_final_stats=1)
for dict in "$source_dir"/*.dict; do
  [[ -f "$dict" ]] && options+=(-dict="$dict")
done
if [[ -f "$source_dir/lsan.supp" ]]; then
  export LSAN_OPTIONS="suppressions=$source_dir/lsan.supp:print_suppressions=0"
fi
"$build/$target" "${options[@]}" "$build/corpus" "${seeds[@]}"

#!/usr/bin/env bash
# Builds the subject file's fuzz target with clang and runs it for a while.
#   run-fuzz.sh BUILD_DIR SECONDS [SEED_DIR_OR_FILE...]
# New inputs that reach new code are kept in BUILD_DIR/corpus, so later runs
# start where earlier ones stopped. A crash, leak, hang or a disagreement
# between the check and the reader fails the run and leaves its input in
# BUILD_DIR/artifacts: add it to tests/subjects/regressions.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
seconds="$2"
shift 2

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
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

"$build/fuzz_subjects" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -dict="$here/subjects.dict" -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
    "$build/corpus" "${seeds[@]}"

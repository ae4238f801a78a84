#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs one for a while.
#   fuzz/run.sh <target> [seconds] [extra libFuzzer options]
#   fuzz/run.sh --list
# Findings land in build-fuzz/findings/<target>/; copy a crashing input into
# fuzz/regressions/<target>/ so every CI run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DSONDAR_BUILD_FUZZ=ON -DSONDAR_SANITIZE=ON -DSONDAR_BUILD_BENCH=OFF >/dev/null
if [[ "${1:-}" == "--list" ]]; then
    grep -ho 'nv_add_fuzzer([a-z_]*' fuzz/CMakeLists.txt engine/*/CMakeLists.txt platform/*/CMakeLists.txt 2>/dev/null \
        | sed 's/nv_add_fuzzer(//' | grep -v '^name$' | sort -u
    exit 0
fi
target=${1:?usage: fuzz/run.sh <target> [seconds]}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : $# ))
cmake --build build-fuzz --target "$target" -j "$(nproc)"
work=build-fuzz/corpus/$target
findings=build-fuzz/findings/$target
mkdir -p "$work" "$findings"
# Seed folders as fuzz/CMakeLists.txt names them (its paths are relative to fuzz/ and the tree).
seeds=$(grep -A3 "nv_add_fuzzer($target" fuzz/CMakeLists.txt | grep -o 'CORPUS.*' | head -1 | cut -d' ' -f2- | tr -d ')' |
        sed -e 's|${CMAKE_CURRENT_SOURCE_DIR}|fuzz|g' -e 's|${PROJECT_SOURCE_DIR}/||g' || true)
export ASAN_OPTIONS=detect_leaks=1
"build-fuzz/bin/$target" "$work" $seeds "fuzz/regressions/$target" \
    -max_total_time="$seconds" -artifact_prefix="$findings/" -rss_limit_mb=4096 "$@"

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs them.
#   fuzz/run.sh <target> [seconds] [libFuzzer options]   one target (default 60 s)
#   fuzz/run.sh --all [seconds]                           every target in turn (default 15 s each)
#   fuzz/run.sh --list                                    the targets
# A crashing input lands in build-fuzz/findings/<target>/ and the run fails; copy it into
# fuzz/regressions/<target>/ so every CI run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

targets() {
    grep -ho 'nv_add_fuzzer([a-z0-9_]\+' fuzz/CMakeLists.txt | sed 's/nv_add_fuzzer(//' | grep -v '^name$'
}

if [[ "${1:-}" == "--list" ]]; then
    targets
    exit 0
fi

# The fuzzing build needs clang and its libFuzzer runtime.
missing=()
for p in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if (( ${#missing[@]} )); then
    sudo=""
    [[ "$(id -u)" -eq 0 ]] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DSONDAR_BUILD_FUZZ=ON -DSONDAR_SANITIZE=ON -DSONDAR_BUILD_BENCH=OFF \
      -DSONDAR_BUILD_TESTS=OFF >/dev/null

run_one() {
    local target=$1 seconds=$2
    shift 2
    cmake --build build-fuzz --target "$target" -j "$(nproc)"
    local work=build-fuzz/corpus/$target findings=build-fuzz/findings/$target
    mkdir -p "$work" "$findings" "fuzz/regressions/$target"
    # Seed folders as fuzz/CMakeLists.txt names them.
    local seeds
    seeds=$(grep -A4 -E "nv_add_fuzzer\($target( |$)" fuzz/CMakeLists.txt | grep -o 'CORPUS.*' | head -1 | cut -d' ' -f2- |
            tr -d ')' | sed -e 's|${CMAKE_CURRENT_SOURCE_DIR}|fuzz|g' -e 's|${PROJECT_SOURCE_DIR}/||g')
    echo "== $target for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 "build-fuzz/bin/$target" "$work" $seeds "fuzz/regressions/$target" \
        -max_total_time="$seconds" -artifact_prefix="$findings/" -rss_limit_mb=4096 \
        -print_final_stats=1 "$@"
}

if [[ "${1:-}" == "--all" ]]; then
    seconds=${2:-15}
    # A fixed seed keeps the short runs repeatable from one CI run to the next.
    for t in $(targets); do run_one "$t" "$seconds" -seed=1; done
    exit 0
fi
target=${1:?usage: fuzz/run.sh <target> [seconds] | --all [seconds] | --list}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : $# ))
run_one "$target" "$seconds" "$@"

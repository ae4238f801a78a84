#!/usr/bin/env bash
# Installs what the build and the tests need, builds, and runs every test.
#   ./test.sh             build into build/ and run the suite
#   ./test.sh --sanitize  build into build-sanitize/ with AddressSanitizer + UBSan and run it
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
cmake_args=()
if [[ "${1:-}" == "--sanitize" ]]; then
    build_dir=build-sanitize
    cmake_args+=(-DSONDAR_SANITIZE=ON -DSONDAR_BUILD_BENCH=OFF)
elif [[ $# -gt 0 ]]; then
    echo "usage: $0 [--sanitize]" >&2
    exit 2
fi

# Debian packages the build and the tests use.
source scripts/install-packages.sh
install_missing_packages

jobs=$(nproc)
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir" -j "$jobs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# The component server registers as a client installs it, into a throwaway registry (the
# suite's own tests register it again in theirs).
registry=$(mktemp -d)
trap 'rm -rf "$registry"' EXIT
NORVALE_REGISTRY_DIR="$registry" "$build_dir/bin/nvregsvr" register "$build_dir/lib/libwscom.so"
NORVALE_REGISTRY_DIR="$registry" "$build_dir/bin/nvregsvr" unregister "$build_dir/lib/libwscom.so"
ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"

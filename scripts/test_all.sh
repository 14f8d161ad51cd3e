#!/usr/bin/env bash
# Installs what the tests need (Debian 12), builds every configuration and runs every test:
# the release build, the AddressSanitizer + UBSan build, a bounded fuzzing run, and the
# benchmarks' build. Warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi

"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  cmake make g++ git ca-certificates pkg-config util-linux \
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev \
  libsndfile1-dev libfftw3-dev python3 python3-numpy sox libxml2-utils librsvg2-bin

echo "== release build and tests"
cmake --preset release -DMPXTONE_WERROR=ON
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

echo "== AddressSanitizer + UBSan build and tests"
cmake --preset asan -DMPXTONE_WERROR=ON
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== fuzzing the dialogue and the Settings reader for ${FUZZ_SECONDS:-60} s"
cmake --preset fuzz -DMPXTONE_WERROR=ON
cmake --build --preset fuzz -j "$jobs"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus"/
build/fuzz/fuzz/input_fuzzer -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
  "$corpus" 2>&1 | tail -n 15

echo "== benchmarks build"
cmake --preset bench -DMPXTONE_WERROR=ON
cmake --build --preset bench -j "$jobs"

# ---- The Windows program: cross-built with mingw-w64, its end-to-end tests run under Wine (in a
# prefix inside build/win-test, quiet), then both release archives.
echo "== Windows program: mingw-w64 cross build, tests under Wine"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  g++-mingw-w64-x86-64 wine wine64
cmake --preset mingw -DMPXTONE_WERROR=ON
cmake --build --preset mingw -j "$jobs"
cmake --preset win-test -DMPXTONE_WERROR=ON
cmake --build --preset win-test -j "$jobs"
ctest --preset win-test -j "$jobs"

echo "== release archives"
cpack --preset win64
cpack --preset linux
ls -l build/packages/mpxtone-*-win64.zip build/packages/mpxtone-*-linux-x86_64.tar.gz
# ---- end of the Windows program

echo "== all tests passed"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer with a
# replay of every fuzz target's seed corpus; checks the Debian package made
# from build/ too. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"

echo "== Unit tests (build/)"
vantrel_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== Debian package from build/"
scripts/check-package.sh build

echo "== Unit tests and fuzz seed replays under ASan+UBSan (build-asan/)"
# -g1 keeps the line tables the sanitizers' reports need and compiles about
# a third faster than full debug information.
vantrel_build build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DVANTREL_SANITIZE=ON -DVANTREL_WERROR=ON -DVANTREL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"


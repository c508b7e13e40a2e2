#!/usr/bin/env bash
# Installs what is missing, builds, and shows the sample animation's structure
# with the command-line tool.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"
vantrel_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON
echo "== vantrel-cli info examples/banner.gif"
./build/src/cli/vantrel-cli info examples/banner.gif

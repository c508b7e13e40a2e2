#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on the sample
# document. Without a display it does the main job headless instead: the
# sample is exported as an animated GIF with the command-line tool.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"
vantrel_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON

sample=examples/sample.qvd
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== Starting the editor on $sample"
  exec ./build/src/app/vantrel "$sample"
fi

echo "== No display: exporting $sample headless with vantrel-cli"
./build/src/cli/vantrel-cli info "$sample"
./build/src/cli/vantrel-cli export "$sample" build/sample.gif
echo "The animation was written to $(pwd)/build/sample.gif"

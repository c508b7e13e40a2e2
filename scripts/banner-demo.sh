#!/bin/sh
# A banner made by script: the sample's second and third frames get a fade
# between them, the label of the last two slides slides over in a tween, and
# the result is written as a document and as a GIF.
#   scripts/banner-demo.sh [BUILD_DIR] [OUT_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$here/build/banner-demo}
cli=$build/src/cli/vantrel-cli
mkdir -p "$out"

# Frame 1 of the sample is its master frame; frames 2, 3 and 4 are the slides.
"$cli" transition "$here/examples/sample.qvd" "$out/faded.qvd" --after 2 --kind fade --frames 5 --duration 0.08
# The fade put five frames after frame 2: the old frames 3 and 4 are now 8 and 9.
"$cli" tween "$out/faded.qvd" "$out/banner.qvd" --after 8 --frames 4 --ease in-out
"$cli" export "$out/banner.qvd" "$out/banner.gif"
"$cli" info "$out/banner.gif"

#!/usr/bin/env bash
# Peak memory of opening an animation with every frame rendered
# (vantrel-cli info --document), against the bytes of its rendered frames
# (width x height x 4 x frames) and against giflib reading and compositing
# the same file (bench/peers/giflib_composite.cpp). Runs on the corpora's
# sample_big.gif (259 frames of 1000 x 175) and a generated 1200 x 1200
# animation of 20 frames. Peaks are the maximum resident set size that
# /usr/bin/time reports.
#
# Usage: bench/memory.sh [BUILD_DIR]

set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/peers/common.sh
prepare_peer_run "$build"

# Peak resident kilobytes of one run.
peak_kb() {
  /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1
  cat "$work/peak"
}

inputs=("$work/tiles20.gif")
corpora=${VANTREL_CORPORA_DIR:-$(cd .. && pwd)/shared/corpora}
sample_big=$(find "$corpora" -name sample_big.gif 2>/dev/null | head -n 1 || true)
[ -n "$sample_big" ] && inputs=("$sample_big" "${inputs[@]}")

printf '%-16s %10s %12s %8s %12s\n' file rendered "ours peak" ratio "giflib peak"
for in in "${inputs[@]}"; do
  # "logical screen W x H" and "N images" from the file's own description.
  read -r width height < <("$cli" info "$in" | sed -n 's/.*logical screen \([0-9]*\) x \([0-9]*\).*/\1 \2/p')
  frames=$("$cli" info "$in" | sed -n 's/^\([0-9]*\) images\{0,1\}$/\1/p')
  rendered_kb=$((width * height * 4 * frames / 1024))
  ours=$(peak_kb "$cli" info --document "$in")
  peer=$(peak_kb "$giflib_composite" "$in")
  awk -v f="$(basename "$in")" -v r="$rendered_kb" -v o="$ours" -v p="$peer" \
    'BEGIN { printf "%-16s %7.1f MB %9.1f MB %7.2fx %9.1f MB\n", f, r / 1024, o / 1024, o / r, p / 1024 }'
done

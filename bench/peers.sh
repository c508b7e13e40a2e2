#!/usr/bin/env bash
# Whole-process comparison with the peer tools, as a user runs them:
#   vantrel-cli export IN OUT.gif     against  gifsicle -O3 IN -o OUT.gif
#   vantrel-cli info --document IN    against  giflib's DGifSlurp plus compositing
#                                              every frame into a 32-bit canvas
#                                              (bench/peers/giflib_composite.cpp)
# on four generated animations (bench/peers/make_animations.cpp: a flat banner
# 468 x 60 x 24, a panning photo 400 x 300 x 30, flat tiles with noise
# 1200 x 1200 x 12, a still 800 x 600 screen with a small changing region
# x 40) and, for opening, the corpora's sample_big.gif when it is there.
#
# Each pair runs interleaved (ours, peer, ours, peer, ...) RUNS times after one
# warm-up of each, so that a drift of the machine's speed hits both alike. It
# prints the median wall times and the median of the pair-by-pair ratios
# ours / peer (below 1: ours is faster). On a shared machine, read the ratios.
#
# Usage: bench/peers.sh [BUILD_DIR]     (RUNS=7 bench/peers.sh for more runs)
# Missing packages (gifsicle, giflib's tools and library) are installed as
# test.sh does.

set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-5}
source bench/peers/common.sh
prepare_peer_run "$build"

# compare LABEL -- OURS... -- PEER...
compare() {
  local label=$1
  shift 2
  local ours=() peer=()
  while [ "$1" != "--" ]; do ours+=("$1"); shift; done
  shift
  peer=("$@")
  wall_us "${ours[@]}" >/dev/null
  wall_us "${peer[@]}" >/dev/null
  local pairs=""
  for ((i = 0; i < runs; ++i)); do
    pairs+="$(wall_us "${ours[@]}") $(wall_us "${peer[@]}")"$'\n'
  done
  printf '%s' "$pairs" | awk -v label="$label" '
    function median(v, n,   i, j, t) {
      for (i = 2; i <= n; ++i) for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    { ++n; a[n] = $1; b[n] = $2; r[n] = $1 / $2 }
    END { printf "%-34s ours %8.1f ms   peer %8.1f ms   ours/peer %5.2f\n", label, median(a, n) / 1000, median(b, n) / 1000, median(r, n) }'
}

echo "== export: vantrel-cli export (default options) / gifsicle -O3, whole process, $runs pairs"
for name in banner photo tiles screen; do
  in="$work/$name.gif"
  compare "export $name.gif" -- "$cli" export "$in" "$work/$name.ours.gif" -- gifsicle -O3 "$in" -o "$work/$name.peer.gif"
  echo "    output bytes: ours $(stat -c %s "$work/$name.ours.gif"), peer $(stat -c %s "$work/$name.peer.gif")"
done

echo "== open with every frame rendered: vantrel-cli info --document / giflib DGifSlurp + compositing"
inputs=()
for name in banner photo tiles screen; do inputs+=("$work/$name.gif"); done
corpora=${VANTREL_CORPORA_DIR:-$(cd .. && pwd)/shared/corpora}
sample_big=$(find "$corpora" -name sample_big.gif 2>/dev/null | head -n 1 || true)
[ -n "$sample_big" ] && inputs+=("$sample_big")
for in in "${inputs[@]}"; do
  compare "info --document $(basename "$in")" -- "$cli" info --document "$in" -- "$giflib_composite" "$in"
done

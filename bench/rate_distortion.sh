#!/usr/bin/env bash
# Size against quality, ours beside gifsicle's, on the four generated
# animations of peers.sh: for each animation the lossless files
# (vantrel-cli export with its defaults, gifsicle -O3) and the lossy ones at
# several levels (vantrel-cli export --lossy L, gifsicle -O3 --lossy=L), each
# with its size in bytes and the PSNR of every frame against the input
# (giflib decodes both; "inf" when every pixel is the same).
#
# Usage: bench/rate_distortion.sh [BUILD_DIR]   (LEVELS="40 80 120" by default;
# run it with nice on a shared machine)

set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"
build=${1:-build}
levels=${LEVELS:-40 80 120}
cmake --build "$build" --target vantrel-cli peer_make_animations peer_gif_psnr >/dev/null
cli="$build/src/cli/vantrel-cli"
psnr="$build/bench/peer_gif_psnr"
source bench/peers/common.sh
make_work_animations "$build"

printf '%-8s %-9s | %10s %8s | %10s %8s | %s\n' animation lossy "ours B" "dB" "gifsicle B" "dB" "ours/gifsicle"
for name in banner photo tiles screen; do
  in="$work/$name.gif"
  for level in 0 $levels; do
    ours="$work/$name.ours.$level.gif"
    peer="$work/$name.peer.$level.gif"
    wall_us "$cli" export "$in" "$ours" --lossy "$level" >/dev/null
    if [ "$level" = 0 ]; then
      wall_us gifsicle -O3 "$in" -o "$peer" >/dev/null
    else
      wall_us gifsicle -O3 --lossy="$level" "$in" -o "$peer" >/dev/null
    fi
    a=$(stat -c %s "$ours")
    b=$(stat -c %s "$peer")
    printf '%-8s %-9s | %10d %8s | %10d %8s | %s\n' "$name" "$level" "$a" "$("$psnr" "$in" "$ours")" \
      "$b" "$("$psnr" "$in" "$peer")" "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')"
  done
done

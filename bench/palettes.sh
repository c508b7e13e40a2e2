#!/usr/bin/env bash
# Refined palettes against the classic median cut on the four generated
# animations of peers.sh: for each colour count below the animation's own,
# the file size, the PSNR of every frame against the input's (giflib
# decodes both) and the wall time of the whole export, for
#   vantrel-cli export IN OUT.gif --colors N --quantizer median-cut
#   vantrel-cli export IN OUT.gif --colors N --quantizer refined
#
# Usage: bench/palettes.sh [BUILD_DIR]   (run it with nice on a shared machine)

set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/peers/common.sh
prepare_psnr_run "$build"

printf '%-8s %6s | %10s %8s %7s | %10s %8s %7s | %7s\n' animation colors \
  "classic B" "dB" "ms" "refined B" "dB" "ms" "gain dB"
for name in banner photo tiles screen; do
  in="$work/$name.gif"
  for colors in 256 128 64 32 16; do
    row=()
    for quantizer in median-cut refined; do
      out="$work/$name.$quantizer.gif"
      ms=$(($(wall_us "$cli" export "$in" "$out" --colors "$colors" --quantizer "$quantizer") / 1000))
      row+=("$(stat -c %s "$out")" "$("$psnr" "$in" "$out")" "$ms")
    done
    # Reduction applies only below the animation's own colour count.
    distinct=$(sed -n -e 's/.*more than 256 distinct colours.*/257/p' \
                      -e 's/.* \([0-9][0-9]*\) distinct colours.*/\1/p' "$work/last.txt")
    [ -n "$distinct" ] && [ "$distinct" -le "$colors" ] && continue
    awk -v n="$name" -v c="$colors" -v a="${row[*]}" 'BEGIN {
      split(a, v, " ")
      printf "%-8s %6d | %10d %8.2f %7d | %10d %8.2f %7d | %+7.2f\n", n, c, v[1], v[2], v[3], v[4], v[5], v[6], v[5] - v[2] }'
  done
done

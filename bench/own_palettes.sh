#!/usr/bin/env bash
# Palettes per frame against one palette for all frames on the four
# generated animations of peers.sh: for the default export and a few reduced colour counts, the file
# size, the PSNR of every frame against the input's (giflib decodes both)
# and the wall time of the whole export, for
#   vantrel-cli export IN OUT.gif [--colors N] --one-palette
#   vantrel-cli export IN OUT.gif [--colors N]
#
# Usage: bench/own_palettes.sh [BUILD_DIR]   (run it with nice on a shared machine)

set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/peers/common.sh
prepare_psnr_run "$build"

printf '%-8s %7s | %10s %8s %7s | %10s %8s %7s %6s | %7s %8s\n' animation colors \
  "one B" "dB" "ms" "own B" "dB" "ms" "frames" "size" "gain dB"
for name in banner photo tiles screen; do
  in="$work/$name.gif"
  for colors in default 64 16; do
    extra=()
    [ "$colors" != default ] && extra=(--colors "$colors")
    row=()
    for mode in one own; do
      out="$work/$name.$mode.gif"
      flag=()
      [ "$mode" = one ] && flag=(--one-palette)
      ms=$(($(wall_us "$cli" export "$in" "$out" "${extra[@]}" "${flag[@]}") / 1000))
      row+=("$(stat -c %s "$out")" "$("$psnr" "$in" "$out")" "$ms")
    done
    own=$(sed -n -e 's/.*each image with a palette of its own.*/all/p' \
                 -e 's/.*, \([0-9][0-9]*\) images\{0,1\} with palettes of their own.*/\1/p' "$work/last.txt")
    awk -v n="$name" -v c="$colors" -v a="${row[*]}" -v o="${own:-0}" 'BEGIN {
      split(a, v, " ")
      gain = (v[2] == "inf" || v[5] == "inf") ? 0 : v[5] - v[2]
      printf "%-8s %7s | %10d %8s %7d | %10d %8s %7d %6s | %6.3fx %+8.2f\n", n, c, v[1], v[2], v[3], v[4], v[5], v[6], o, v[4] / v[1], gain }'
  done
done

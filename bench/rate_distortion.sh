#!/usr/bin/env bash
# Size against quality, ours beside gifsicle's, on the four generated
# animations of peers.sh: for each animation the lossless files
# (vantrel-cli export with its defaults, gifsicle -O3) and the lossy ones at
# several levels (vantrel-cli export --lossy L, gifsicle -O3 --lossy=L), each
# with its size in bytes and the PSNR of every frame against the input
# (giflib decodes both; "inf" when every pixel is the same).
#
# Then the comparison at equal quality: for each of gifsicle's files, the
# size ours would have at its PSNR, read off our curve (our files at
# OUR_LEVELS): the smallest of our files at least as good, or the size
# interpolated linearly between our files at two neighbouring levels whose
# PSNR (both finite) lie on either side.
#
# Usage: bench/rate_distortion.sh [BUILD_DIR]   (LEVELS="40 80 120" and
# OUR_LEVELS="40 80 120 160 200" by default; run it with nice on a shared
# machine)

set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"
build=${1:-build}
levels=${LEVELS:-40 80 120}
our_levels=${OUR_LEVELS:-40 80 120 160 200}
cmake --build "$build" --target vantrel-cli peer_make_animations peer_gif_psnr >/dev/null
cli="$build/src/cli/vantrel-cli"
psnr="$build/bench/peer_gif_psnr"
source bench/peers/common.sh
make_work_animations "$build"

# Writes "SIZE PSNR" of one file against the input $1.
size_and_psnr() { echo "$(stat -c %s "$2") $("$psnr" "$1" "$2")"; }

# Every level either tool is run at, once.
all_levels=$(printf '%s\n' 0 $levels $our_levels | sort -n -u | tr '\n' ' ')

printf '%-8s %-6s | %10s %8s | %10s %8s | %s\n' animation lossy "ours B" "dB" "gifsicle B" "dB" "ours/gifsicle"
for name in banner photo tiles screen; do
  in="$work/$name.gif"
  for level in $all_levels; do
    wall_us "$cli" export "$in" "$work/$name.ours.$level.gif" --lossy "$level" >/dev/null
    size_and_psnr "$in" "$work/$name.ours.$level.gif" >"$work/$name.ours.$level.txt"
  done
  for level in 0 $levels; do
    peer="$work/$name.peer.$level.gif"
    if [ "$level" = 0 ]; then
      wall_us gifsicle -O3 "$in" -o "$peer" >/dev/null
    else
      wall_us gifsicle -O3 --lossy="$level" "$in" -o "$peer" >/dev/null
    fi
    size_and_psnr "$in" "$peer" >"$work/$name.peer.$level.txt"
    read -r a adb <"$work/$name.ours.$level.txt"
    read -r b bdb <"$work/$name.peer.$level.txt"
    printf '%-8s %-6s | %10d %8s | %10d %8s | %s\n' "$name" "$level" "$a" "$adb" "$b" "$bdb" \
      "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')"
  done
done

echo
echo "At gifsicle's PSNR (ours read off our curve at levels $all_levels):"
printf '%-8s %-6s | %10s %8s | %10s | %s\n' animation lossy "gifsicle B" "dB" "ours B" "ours/gifsicle"
for name in banner photo tiles screen; do
  curve=$(for level in $all_levels; do cat "$work/$name.ours.$level.txt"; done)
  for level in 0 $levels; do
    read -r b bdb <"$work/$name.peer.$level.txt"
    echo "$curve" | awk -v name="$name" -v level="$level" -v b="$b" -v bdb="$bdb" '
      function db(text) { return text == "inf" ? 100 : text + 0 }
      { size[NR] = $1; q[NR] = db($2) }
      END {
        target = db(bdb); best = -1
        for (i = 1; i <= NR; ++i) {
          if (q[i] >= target && (best < 0 || size[i] < best)) best = size[i]
          # Between two neighbouring levels, both of finite PSNR.
          j = i + 1
          if (j <= NR && q[i] < 100 && q[i] > target && q[j] < target) {
            s = size[i] + (size[j] - size[i]) * (q[i] - target) / (q[i] - q[j])
            if (best < 0 || s < best) best = s
          }
        }
        if (best < 0) printf "%-8s %-6s | %10d %8s | %10s | %s\n", name, level, b, bdb, "n/a", "n/a"
        else printf "%-8s %-6s | %10d %8s | %10d | %.3f\n", name, level, b, bdb, best, best / b
      }'
  done
done

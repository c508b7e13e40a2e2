# Shared by the scripts in bench/ that run whole programs (source it).

# Installs what is missing, builds vantrel-cli and the peer tools in the
# build folder $1 and sets $cli and $giflib_composite to them, then makes the
# generated animations (make_work_animations).
prepare_peer_run() {
  source scripts/setup.sh
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$1" --target vantrel-cli peer_make_animations peer_giflib_composite >/dev/null
  cli="$1/src/cli/vantrel-cli"
  giflib_composite="$1/bench/peer_giflib_composite"
  make_work_animations "$1"
}

# Makes a scratch folder $work, removed on exit, holding the four generated
# animations (banner, photo, tiles, screen .gif) made by the build in $1.
make_work_animations() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$1/bench/peer_make_animations" "$work"
}

# Builds vantrel-cli and the PSNR tool in the build folder $1 and sets $cli
# and $psnr to them, then makes the generated animations
# (make_work_animations); each timed run's output goes to $work/last.txt.
prepare_psnr_run() {
  cmake --build "$1" --target vantrel-cli peer_make_animations peer_gif_psnr >/dev/null
  cli="$1/src/cli/vantrel-cli"
  psnr="$1/bench/peer_gif_psnr"
  make_work_animations "$1"
  export WALL_LOG="$work/last.txt"
}

# Wall time of one run of the command, in microseconds. Its output goes to
# $WALL_LOG (dropped when unset); a failure stops the script.
wall_us() {
  local start end log=${WALL_LOG:-/dev/null}
  start=$(date +%s%N)
  "$@" >"$log" 2>&1 || { [ "$log" != /dev/null ] && cat "$log" >&2; echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

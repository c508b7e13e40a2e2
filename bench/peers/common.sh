# Shared by the scripts in bench/ that run whole programs (source it).

# Makes a scratch folder $work, removed on exit, holding the four generated
# animations (banner, photo, tiles, screen .gif) made by the build in $1.
make_work_animations() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$1/bench/peer_make_animations" "$work"
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

#!/bin/sh
# Runs every fuzz target for a while, one after the other, and keeps what it
# learnt: inputs that reach new code are merged into fuzz/corpus/<target>/
# (small files only), so that the next run starts where this one stopped.
#
#   fuzz/run.sh [SECONDS] [TARGET...]
#
# SECONDS per target (600 unless given); TARGETs by name without "fuzz_"
# (every target unless given). One line per target is added to
# build-fuzz/fuzz-summary.txt: runs, speed (wall, and per CPU second), coverage, corpus, findings. The fuzzers are built
# with clang first when missing:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVANTREL_FUZZ=ON
#
# Seeds: fuzz/corpus/<target>/, and for the targets that read GIF or PNG
# files the third-party corpora (VANTREL_CORPORA_DIR, ../shared/corpora
# beside the checkout by default). Crashes, leaks and slow inputs are kept
# in build-fuzz/findings/<target>/. The fuzzers run under nice, as they take
# a whole core each.
#
# Environment: FUZZ_BUILD (build-fuzz), FUZZ_MAX_LEN (largest input made and
# kept, 8192 bytes), FUZZ_NICE (19).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
corpora=${VANTREL_CORPORA_DIR:-$root/../shared/corpora}
seconds=${1:-600}
[ $# -gt 0 ] && shift
max_len=${FUZZ_MAX_LEN:-8192}
niceness=${FUZZ_NICE:-19}

case $seconds in
    ''|*[!0-9]*) echo "usage: fuzz/run.sh [SECONDS] [TARGET...]" >&2; exit 1 ;;
esac

if [ ! -f "$build/build.ninja" ]; then
    if ! command -v clang++ >/dev/null; then
        echo "fuzz/run.sh needs clang: apt-get install clang libclang-rt-14-dev" >&2
        exit 1
    fi
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON
fi
if [ $# -eq 0 ]; then
    cmake --build "$build" -j2
    for binary in "$build"/fuzz/fuzz_*; do
        [ -x "$binary" ] && set -- "$@" "${binary##*/fuzz_}"
    done
else
    for target in "$@"; do cmake --build "$build" -j2 --target "fuzz_$target"; done
fi

# Folders of the corpora holding files of one extension.
corpora_folders() {
    [ -d "$corpora" ] || return 0
    find "$corpora" -type f -name "*.$1" -exec dirname {} \; | sort -u
}

summary=$build/fuzz-summary.txt
echo "-- $(date -u '+%Y-%m-%d %H:%M') $seconds s per target" >> "$summary"
for target in "$@"; do
    binary=$build/fuzz/fuzz_$target
    if [ ! -x "$binary" ]; then
        echo "no fuzz target $target in $build/fuzz" >&2
        exit 1
    fi
    corpus=$root/fuzz/corpus/$target
    grown=$build/grown/$target
    findings=$build/findings/$target
    mkdir -p "$corpus" "$grown" "$findings"
    seeds=
    case $target in
        gif_*) seeds=$(corpora_folders gif) ;;
        png_*) seeds=$(corpora_folders png) ;;
    esac
    log=$build/fuzz-$target.log
    echo "== $target: $seconds s" >&2
    # New inputs go to $grown (the first folder); the others only seed.
    # shellcheck disable=SC2086
    # The CPU time it got (when /usr/bin/time is there) gives its speed on a
    # busy machine too: runs per CPU second.
    timer=
    [ -x /usr/bin/time ] && timer="/usr/bin/time -f %U+%S -o $log.cpu"
    # shellcheck disable=SC2086
    $timer nice -n "$niceness" "$binary" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$grown" "$corpus" $seeds > "$log" 2>&1 || true
    # Only small inputs are kept in the repository.
    find "$grown" -type f -size +"$max_len"c -delete
    nice -n "$niceness" "$binary" -merge=1 -max_len="$max_len" "$corpus" "$grown" >> "$log" 2>&1 || true
    rm -rf "$grown"

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    coverage=$(grep -E '^#[0-9]+' "$log" | grep -v MERGE | tail -n 1 | sed -n 's/.*\(cov: [0-9]*\).*\(ft: [0-9]*\).*/\1 \2/p')
    crashes=$(find "$findings" -type f | wc -l)
    per_cpu=
    if [ -s "$log.cpu" ] && [ -n "$runs" ]; then
        per_cpu=$(awk -v runs="$runs" -F+ 'NR == 1 && $1 + $2 > 0 { printf ", %d per CPU second", runs / ($1 + $2) }' "$log.cpu")
    fi
    line="$target: ${runs:-0} runs, ${speed:-0} exec/s$per_cpu, ${coverage:-no coverage line}, $(ls "$corpus" | wc -l) corpus files, $crashes findings"
    echo "$line" | tee -a "$summary"
done
echo "summary in $summary" >&2

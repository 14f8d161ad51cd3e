#!/bin/bash
# Times whole runs of mpxtone against the two things a user would compare it with: dd writing the
# same number of bytes in 1,152,000-byte blocks (the cost of the bytes alone) and sox
# synthesising a 2-channel, 192 kHz, 24-bit sine file of the same length. Two lengths: a long
# file (2 + 1800 + 2 s, about 2.1 GB) and a typical one (2 + 30 + 2 s). Prints the medians, the
# ratios mpxtone/dd and sox/mpxtone, and each program's peak memory (maximum resident set).
#
# Usage: bench/whole_run.sh [PARENT_FOLDER]
#   PARENT_FOLDER  where the files are written (default /tmp); the script works in a new
#                  folder inside it and removes that folder, and all it wrote, when it exits.
# Environment: MPXTONE (the program; default build/bench/mpxtone, built by
#   `cmake --preset bench && cmake --build --preset bench`), ANSWERS (the dialogue's answers,
#   default 'M\n100\n1000\n': Mono, 100 %, 1000 Hz; 'L\n100\n1000\n' gives the costliest
#   kernel), RUNS_LONG (default 7), RUNS_TYPICAL (default 15), LONG_TONE_SECONDS (default 1800).
set -euo pipefail

script_dir=$(cd "$(dirname "$0")" && pwd)
mpxtone=${MPXTONE:-$script_dir/../build/bench/mpxtone}
parent=${1:-/tmp}
runs_long=${RUNS_LONG:-7}
runs_typical=${RUNS_TYPICAL:-15}
long_tone_seconds=${LONG_TONE_SECONDS:-1800}
block_bytes=1152000
header_bytes=44

die() { echo "whole_run.sh: $*" >&2; exit 1; }

[[ -x $mpxtone ]] || die "no program at $mpxtone (build it: cmake --preset bench && cmake --build --preset bench, or set MPXTONE)"
command -v sox >/dev/null || die "sox not found (Debian package sox)"
[[ -x /usr/bin/time ]] || die "/usr/bin/time not found (Debian package time)"
[[ -d $parent ]] || die "no folder $parent"

# One file exists at a time: the long one, whoever writes it, plus room to spare.
long_seconds=$((2 + long_tone_seconds + 2))
need=$((header_bytes + long_seconds * block_bytes + 256 * 1024 * 1024))
free=$(df --output=avail -B1 "$parent" | tail -n 1 | tr -d ' ')
((free > need)) || die "$parent has $free bytes free, the long file needs $need"

work=$(mktemp -d "$parent/mpxtone-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/out"
# The program reads its Settings file from its own folder: give it a folder of its own.
cp "$mpxtone" "$work/run/mpxtone"
printf "${ANSWERS:-M\\n100\\n1000\\n}" >"$work/answers"

settings() {  # settings TONE_SECONDS
  printf '%s\n2\n%s\n2\n0.0\n1.0\n' "$work/out" "$1" >"$work/run/Settings"
}

# Each timed command starts from the same state: no output file, nothing dirty waiting.
prepare() {
  rm -f "$work"/out/*
  sync
}

run_mpxtone() { "$work/run/mpxtone" <"$work/answers" >/dev/null; }
run_dd() {
  dd if=/dev/zero of="$work/out/dd.bin" bs=$block_bytes count="$1" iflag=count_bytes status=none
}
run_sox() { sox -n -r 192000 -c 2 -b 24 "$work/out/sox.wav" synth "$1" sine 1000; }

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "min-max" in milliseconds, to show how far single runs stray on a shared machine.
spread() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f-%.1f", v[1] / 1000, v[NR] / 1000 }'; }

# Peak resident set of one run, in KiB.
peak_kib() {
  prepare
  /usr/bin/time -f %M -o "$work/rss" "$@" <"$work/answers" >/dev/null
  cat "$work/rss"
}

measure() {  # measure LABEL TONE_SECONDS RUNS
  local label=$1 tone=$2 runs=$3
  local seconds=$((2 + tone + 2))
  local bytes=$((header_bytes + seconds * block_bytes))
  settings "$tone"
  : >"$work/t_mpx"
  : >"$work/t_dd"
  : >"$work/t_sox"
  # One untimed run each first: the first large write after a pause, or after a large file
  # that had reached the disk was deleted, is often much slower.
  prepare
  run_mpxtone
  prepare
  run_dd "$bytes"
  # mpxtone and dd interleaved, so a burst of load elsewhere hits both. sox comes after them:
  # its output, written slowly, partly reaches the disk, and the run after its deletion pays for
  # that (up to a second for the long file), which would always fall on the same program.
  for ((i = 0; i < runs; i++)); do
    prepare
    # Microseconds from bash's own clock: no command runs between the readings but the program.
    s=${EPOCHREALTIME/./}; run_mpxtone; e=${EPOCHREALTIME/./}; echo $((e - s)) >>"$work/t_mpx"
    [[ $(stat -c %s "$work"/out/MPX_*.wav) == "$bytes" ]] || die "mpxtone wrote a file of the wrong size"
    prepare
    s=${EPOCHREALTIME/./}; run_dd "$bytes"; e=${EPOCHREALTIME/./}; echo $((e - s)) >>"$work/t_dd"
  done
  for ((i = 0; i < runs; i++)); do
    prepare
    s=${EPOCHREALTIME/./}; run_sox "$seconds"; e=${EPOCHREALTIME/./}; echo $((e - s)) >>"$work/t_sox"
  done
  local mpx dd sx rss_mpx rss_dd rss_sox
  mpx=$(median <"$work/t_mpx")
  dd=$(median <"$work/t_dd")
  sx=$(median <"$work/t_sox")
  local spread_mpx spread_dd spread_sox
  spread_mpx=$(spread <"$work/t_mpx")
  spread_dd=$(spread <"$work/t_dd")
  spread_sox=$(spread <"$work/t_sox")
  rss_mpx=$(peak_kib "$work/run/mpxtone")
  rss_dd=$(peak_kib dd if=/dev/zero of="$work/out/dd.bin" bs=$block_bytes count="$bytes" \
    iflag=count_bytes status=none)
  rss_sox=$(peak_kib sox -n -r 192000 -c 2 -b 24 "$work/out/sox.wav" synth "$seconds" sine 1000)
  rm -f "$work"/out/*
  awk -v l="$label" -v b="$bytes" -v n="$runs" -v m="$mpx" -v d="$dd" -v s="$sx" \
    -v rm="$rss_mpx" -v rd="$rss_dd" -v rs="$rss_sox" \
    -v sm="$spread_mpx" -v sd="$spread_dd" -v ss="$spread_sox" 'BEGIN {
      printf "%s: %d bytes, median of %d runs (range in brackets)\n", l, b, n
      printf "  mpxtone %10.1f ms  (%s)   peak RSS %5.1f MiB\n", m / 1000, sm, rm / 1024
      printf "  dd      %10.1f ms  (%s)   peak RSS %5.1f MiB\n", d / 1000, sd, rd / 1024
      printf "  sox     %10.1f ms  (%s)   peak RSS %5.1f MiB\n", s / 1000, ss, rs / 1024
      printf "  mpxtone/dd  = %.2f   (target at most 1.10)\n", m / d
      printf "  sox/mpxtone = %.1f    (target at least 5)\n", s / m
    }'
}

echo "mpxtone: $mpxtone, answers: $(tr '\n' ' ' <"$work/answers")"
echo "folder:  $work ($(df --output=fstype "$parent" | tail -n 1))"
echo "cores:   $(nproc); load before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo
measure "long file (2 + $long_tone_seconds + 2 s)" "$long_tone_seconds" "$runs_long"
echo
measure "typical file (2 + 30 + 2 s)" 30 "$runs_typical"
echo
echo "load after: $(cut -d ' ' -f 1-3 /proc/loadavg)"

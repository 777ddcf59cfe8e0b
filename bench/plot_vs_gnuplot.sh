#!/usr/bin/env bash
# Times pictures of large data sets: `trendolin-cli plot` against gnuplot on
# the same points with the same marker (filled circles, the graph window's
# default 630x434 pixels), as whole processes, in turns in the same run.
#
#   bench/plot_vs_gnuplot.sh CLI [RUNS] [SIZES]
#
# CLI is a trendolin-cli (a Release build), RUNS the timed runs of each
# command (default 5), SIZES the point counts (default "100000 1000000").
# Prints, per size and format, the median seconds and peak memory of each
# program, the ratio of the medians and the file sizes. Needs gnuplot
# (Debian's gnuplot-nox) and GNU time (/usr/bin/time).
set -euo pipefail

cli=${1:?usage: plot_vs_gnuplot.sh CLI [RUNS] [SIZES]}
runs=${2:-5}
sizes=${3:-"100000 1000000"}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/plot-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# A noisy sine over 0..1000: points everywhere across the plot, so that a
# large share of them land on pixels of their own.
make_data() {
  awk -v n="$1" 'BEGIN { srand(7); for (i = 0; i < n; i++) { x = 1000 * i / n;
    printf "%.6g\t%.6g\n", x, 50 + 30 * sin(x / 60) + 40 * rand() - 20 } }' >"$2"
}

gnuplot_cmd() {  # DATA OUT FORMAT
  local term
  case $3 in
    svg) term="svg size 630,434" ;;
    pdf) term="pdfcairo size 6.5625in,4.5208in" ;;  # 630x434 pixels at 96 dpi
    png) term="pngcairo size 630,434" ;;
  esac
  echo "gnuplot -e \"set terminal $term; set output '$2'; unset key; plot '$1' using 1:2 with points pt 7 ps 0.8\""
}

# Runs "$@" once under GNU time; prints "seconds kilobytes".
timed() {
  /usr/bin/time -f "%e %M" -o "$scratch/time" "$@" >/dev/null 2>"$scratch/err" || {
    cat "$scratch/err" >&2
    return 1
  }
  cat "$scratch/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-8s %-4s %10s %10s %7s %12s %12s %10s %10s\n' points fmt ours_s gnuplot_s ratio ours_bytes gp_bytes ours_MB gp_MB
for n in $sizes; do
  data="$scratch/points-$n.dat"
  make_data "$n" "$data"
  for fmt in svg pdf png; do
    : >"$scratch/ours" && : >"$scratch/theirs"
    for _ in $(seq "$runs"); do
      timed "$cli" plot "$data" -o "$scratch/ours.$fmt" >>"$scratch/ours"
      timed sh -c "$(gnuplot_cmd "$data" "$scratch/theirs.$fmt" "$fmt")" >>"$scratch/theirs"
    done
    ours_s=$(cut -d' ' -f1 "$scratch/ours" | median)
    theirs_s=$(cut -d' ' -f1 "$scratch/theirs" | median)
    ours_kb=$(cut -d' ' -f2 "$scratch/ours" | median)
    theirs_kb=$(cut -d' ' -f2 "$scratch/theirs" | median)
    printf '%-8s %-4s %10s %10s %7.2f %12s %12s %10.1f %10.1f\n' "$n" "$fmt" "$ours_s" "$theirs_s" \
      "$(awk -v a="$ours_s" -v b="$theirs_s" 'BEGIN { print (b > 0) ? a / b : 0 }')" \
      "$(stat -c %s "$scratch/ours.$fmt")" "$(stat -c %s "$scratch/theirs.$fmt")" \
      "$(awk -v k="$ours_kb" 'BEGIN { print k / 1024 }')" "$(awk -v k="$theirs_kb" 'BEGIN { print k / 1024 }')"
  done
done

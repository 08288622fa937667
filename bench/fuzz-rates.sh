#!/bin/sh
# Executions a second of the module and texture fuzz targets as ratios to the Lwo target's, all
# three in one run: ROUNDS rounds (3 by default) of SECONDS each (30 by default) a target, taken
# in turn so a slow spell of a shared machine falls on all of them alike; the median of each.
# Each fuzzes a scratch copy of its committed corpus (fuzz/corpus/TARGET) and the show's files
# (build-fuzz/seeds/TARGET, as ./scripts/fuzz last took them), so nothing is kept.
# Also prints each target's edges (cov) at the end of its last round.
# Usage: bench/fuzz-rates.sh [SECONDS [ROUNDS]], after ./scripts/fuzz has built the targets.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-30}
rounds=${2:-3}
targets="Lwo Module Texture"
for t in $targets; do
    [ -x "build-fuzz/fuzz/${t}Fuzz" ] || { echo "needs build-fuzz/fuzz/${t}Fuzz: run ./scripts/fuzz $t 1 first"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s%N; }
round=1
while [ "$round" -le "$rounds" ]; do
    for t in $targets; do
        rm -rf "$work/corpus"
        mkdir -p "$work/corpus"
        cp fuzz/corpus/"$t"/* build-fuzz/seeds/"$t"/* "$work/corpus/" 2>/dev/null || true
        set -- "build-fuzz/fuzz/${t}Fuzz" "$work/corpus" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
            -artifact_prefix="$work/"
        # Reading the corpus in, its first run of every input, is timed apart and left out: the
        # rate is that of fuzzing itself.
        begin=$(now)
        "$@" -runs=0 >/dev/null 2>&1 || true
        loading=$(($(now) - begin))
        begin=$(now)
        "$@" -max_total_time="$seconds" -print_final_stats=1 >"$work/$t.log" 2>&1 || true
        elapsed=$(($(now) - begin - loading))
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$t.log")
        loaded=$(grep -aE '^#[0-9]+[[:space:]]+INITED' "$work/$t.log" | sed 's/^#\([0-9]*\).*/\1/')
        awk -v r="${runs:-0}" -v l="${loaded:-0}" -v e="$elapsed" 'BEGIN { printf "%.0f\n", (e > 0 ? (r - l) * 1e9 / e : 0) }' \
            >>"$work/$t.rates"
        grep -aE '^#[0-9]+[[:space:]]+(pulse|NEW|REDUCE|DONE)[[:space:]]+cov:' "$work/$t.log" | tail -n 1 |
            sed 's/.*cov: *\([0-9]*\).*/\1/' >"$work/$t.cov"
    done
    round=$((round + 1))
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
base=$(median "$work/Lwo.rates")
printf '%-8s %10s %8s %8s   %s\n' target "exec/s" ratio edges "rounds (exec/s)"
for t in $targets; do
    m=$(median "$work/$t.rates")
    printf '%-8s %10s %8s %8s   %s\n' "$t" "$m" "$(awk -v a="$m" -v b="$base" 'BEGIN { printf "%.2f", b ? a / b : 0 }')" \
        "$(cat "$work/$t.cov")" "$(tr '\n' ' ' <"$work/$t.rates")"
done

#!/usr/bin/env bash
# Peak memory and rows a second of the whole varneldh-calc batch (zone), for a
# file of 10,000 rows and one of 1,000,000, with --jobs 1 and --jobs 2, measured
# by /usr/bin/time -v. The peak should not grow with the file. With a weather
# file as the second argument, each row's year over it too (--weather).
#   bash bench/batch_memory.sh [build/release/bin/varneldh-calc [FILE.epw]]
set -euo pipefail
calc=${1:-build/release/bin/varneldh-calc}
weather=()
if [ -n "${2:-}" ]; then
    weather=(--weather "$2")
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

rows_file() {
    awk -v n="$1" 'BEGIN {
        print "txtPresskPa,txttemp,txtrh,txtOccupancy,txtTamb,txtAmbrh,txtVentrate,txtInfil,txtFreshair,txtVol,txtProcess,txtSwimPoolGain,comboActivity"
        for (i = 0; i < n; i++)
            printf "101.325,%d,%d,%d,35,40,%d,0.5,20,%d,0.2,0,\"Office Work\"\n", 24 + i % 9, 45 + i % 26, i % 40, i % 4, 200 + 37 * (i % 100)
    }' > "$2"
}

echo "load: $(uptime | sed 's/.*load average: //')${2:+, --weather $2}"
printf '%10s %5s %12s %14s\n' rows jobs rows/s peak_RSS_kB
for rows in 10000 1000000; do
    rows_file "$rows" "$dir/in.csv"
    for jobs in 1 2; do
        /usr/bin/time -v -o "$dir/time" "$calc" batch zone "$dir/in.csv" -o "$dir/out.csv" \
            --jobs "$jobs" --quiet "${weather[@]}"
        wall=$(awk -F': ' '/Elapsed/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$dir/time")
        rss=$(awk -F': ' '/Maximum resident/ {print $2}' "$dir/time")
        printf '%10d %5d %12.0f %14d\n' "$rows" "$jobs" "$(echo "$rows / $wall" | bc -l)" "$rss"
    done
done

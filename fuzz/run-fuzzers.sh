#!/usr/bin/env bash
# Builds the fuzz targets and runs each on its seed corpus for SECONDS (default 60),
# failing on the first finding. New inputs go to a scratch folder, not into the repo;
# a finding is left as crash-* in build/fuzz. Longer runs by hand: fuzz/run-fuzzers.sh 3600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --workflow --preset fuzz >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in read_line run ledger merge; do
  mkdir -p "$scratch/$target"
  echo "fuzz_$target: ${seconds}s on fuzz/corpus/$target"
  if ! (cd build/fuzz && "./fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=4096 -print_final_stats=1 "$scratch/$target" "../../fuzz/corpus/$target" \
      >"$scratch/$target.log" 2>&1); then
    tail -n 40 "$scratch/$target.log" >&2
    echo "fuzz_$target found a problem" >&2
    exit 1
  fi
  grep -E '^(Done|stat::average_exec_per_sec)' "$scratch/$target.log"
done

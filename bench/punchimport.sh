#!/usr/bin/env bash
# Swipes a second of `kaoqin-cli punch --import`: 200 employees, two day shifts, 250 days of
# four swipes each (200,000 lines), imported into a fresh data folder and then a second time
# (which stores nothing). Usage: bench/punchimport.sh [BUILD_DIR] (default build/, an optimised
# build with kaoqin-cli built); DOUBLE_SWIPE=N turns the double-swipe refusal on (N seconds).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build}/bin/kaoqin-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
data="$work/Data"
"$cli" --data "$data" init >/dev/null
[ -n "${DOUBLE_SWIPE:-}" ] && "$cli" --data "$data" settings set --double-swipe "$DOUBLE_SWIPE"
employees=200
days=250
# Employee.dat written whole (the dataset file format), cards C0001..C0200.
awk -v n="$employees" 'BEGIN {
  printf "{\"fields\":[{\"name\":\"SName\",\"type\":\"string\",\"width\":15},"
  printf "{\"name\":\"IsOperator\",\"type\":\"boolean\"},{\"name\":\"Password\",\"type\":\"string\",\"width\":10},"
  printf "{\"name\":\"Rigth\",\"type\":\"integer\"},{\"name\":\"IDNo\",\"type\":\"integer\"},"
  printf "{\"name\":\"Dept\",\"type\":\"integer\"},{\"name\":\"CardNo\",\"type\":\"string\",\"width\":45}],\"rows\":["
  for (i = 1; i <= n; i++) printf "%s[\"员工%04d\",false,\"\",4,%d,0,\"C%04d\"]", (i > 1 ? "," : ""), i, i, i
  print "]}"
}' >"$data/Employee.dat"
# The first-run shifts 上午 08:00-12:00 and 下午 13:30-17:30: slots 0..3.
python3 - "$employees" "$days" >"$work/swipes.txt" <<'PY'
import datetime, sys
employees, days = int(sys.argv[1]), int(sys.argv[2])
start = datetime.date(2024, 1, 1)
times = ["07:5%d:%02d", "12:0%d:%02d", "13:2%d:%02d", "17:3%d:%02d"]
out = sys.stdout
for d in range(days):
    day = (start + datetime.timedelta(days=d)).isoformat()
    for slot, t in enumerate(times):
        for e in range(1, employees + 1):
            out.write("C%04d\t%s %s\t%d\n" % (e, day, t % (e % 10, e % 60), slot))
PY
lines=$(wc -l <"$work/swipes.txt")
run() {
  local start end
  start=$(date +%s.%N)
  "$cli" --data "$data" punch --import "$work/swipes.txt"
  end=$(date +%s.%N)
  awk -v n="$lines" -v s="$start" -v e="$end" -v what="$1" \
    'BEGIN { printf "%s: %d lines in %.2f s, %.0f swipes/s\n", what, n, e - s, n / (e - s) }'
}
run "first import"
run "second import"

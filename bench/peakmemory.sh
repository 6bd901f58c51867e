#!/usr/bin/env bash
# Peak memory (maximum resident set size) of kaoqin-cli backing up and restoring a data folder
# that holds one large file (half random, half text, so both kinds of block occur), for a 10 MB
# and a 1 GB file: the peaks of the 1 GB file may not exceed those of the 10 MB file by more than
# 2 MB, and none may exceed 14 MB (KQ_PEAK_LIMIT_KB sets another ceiling); the script fails
# otherwise. Also checks that the restore gives the file back.
# Usage: bench/peakmemory.sh [BUILD_DIR] (default build/; needs kaoqin-cli built).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build}/bin/kaoqin-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
peak() { /usr/bin/time -f '%M %e' "$@" 2>&1 >/dev/null | tail -1; }
limit_kb="${KQ_PEAK_LIMIT_KB:-14336}"
growth_kb=2048
failed=0
check() { # what, peak, peak for the small file
  if [ "$2" -gt "$limit_kb" ]; then echo "FAIL: $1 peak $2 KB is above $limit_kb KB" >&2; failed=1; fi
  if [ -n "$3" ] && [ "$2" -gt $(($3 + growth_kb)) ]; then
    echo "FAIL: $1 peak $2 KB grew by more than $growth_kb KB over the 10 MB file's $3 KB" >&2
    failed=1
  fi
}
small_backup=""
small_restore=""
for mb in 10 1024; do
  data="$work/d$mb/Data"
  "$cli" --data "$data" init >/dev/null
  head -c $((mb * 1024 * 512)) /dev/urandom >"$data/big.bin"
  yes "2024-03-07 员工 08:00:00 上班" | head -c $((mb * 1024 * 512)) >>"$data/big.bin" || true
  sum="$(md5sum <"$data/big.bin")"
  read -r backup_kb backup_s <<<"$(peak "$cli" --data "$data" backup "$work/d$mb.bak")"
  echo "x" >"$data/big.bin"
  read -r restore_kb restore_s <<<"$(peak "$cli" --data "$data" restore "$work/d$mb.bak")"
  [ "$(md5sum <"$data/big.bin")" = "$sum" ] || { echo "restored file differs" >&2; exit 1; }
  echo "$mb MB file: backup peak ${backup_kb} KB (${backup_s} s), restore peak ${restore_kb} KB (${restore_s} s)"
  check "backup of $mb MB" "$backup_kb" "$small_backup"
  check "restore of $mb MB" "$restore_kb" "$small_restore"
  small_backup="${small_backup:-$backup_kb}"
  small_restore="${small_restore:-$restore_kb}"
  rm -rf "$work/d$mb" "$work/d$mb.bak"
done
exit "$failed"

#!/bin/sh
# Starts the real program twice on one data folder (offscreen) and checks that the second
# start hands its file to the first and ends, and that a lock left by a killed program is
# taken over. Usage: scripts/check-single-instance.sh [path/to/piyonote2]
set -eu
program=$(realpath "${1:-build/piyonote2}")
work=$(mktemp -d)
trap 'kill -9 $first 2>/dev/null || true; rm -rf "$work"' EXIT
export PIYONOTE2_HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$PIYONOTE2_HOME" "$work/files"
printf 'handed over\r\n' >"$work/files/a.txt"
cd "$work/files"

wait_for_lock() {
  i=0
  while [ ! -e "$PIYONOTE2_HOME/piyonote2.lock" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
}

"$program" 2>/dev/null &
first=$!
wait_for_lock
"$program" a.txt 2>/dev/null || { echo "FAIL: second start did not hand over"; exit 1; }
kill -0 $first || { echo "FAIL: first program ended"; exit 1; }
kill -TERM $first
wait $first || true
grep -q 'handed over' "$PIYONOTE2_HOME/piyonote2.kdx" || { echo "FAIL: file not opened"; exit 1; }
echo "ok: a second start hands its file to the running program"

"$program" 2>/dev/null &
first=$!
wait_for_lock
kill -9 $first
wait $first 2>/dev/null || true
"$program" a.txt 2>/dev/null &
first=$!
sleep 2
kill -0 $first || { echo "FAIL: start after a killed program did not run"; exit 1; }
kill -TERM $first
wait $first || true
echo "ok: the lock of a killed program is taken over"

#!/bin/sh
# The game opens its window titled "Quorvane"; F4 and the close button each
# end it with status 0. Runs in a scratch folder so no state file is left.
game="$1"; close="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# The window of process $1 titled Quorvane (other tests may have windows open).
wait_for_window() {
  for _ in $(seq 100); do
    id=$(xdotool search --pid "$1" --name '^Quorvane$' 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Ends the game with $1 ("F4" or "close") and checks the exit status.
run_and_end_with() {
  "$game" > out.txt 2>&1 & pid=$!
  id=$(wait_for_window $pid) || { echo "no window titled Quorvane"; kill $pid; return 1; }
  geometry=$(xdotool getwindowgeometry "$id" | grep Geometry)
  case "$geometry" in *640x480*) ;; *) echo "unexpected size: $geometry"; kill $pid; return 1;; esac
  sleep 1
  if [ "$1" = F4 ]; then xdotool windowfocus --sync "$id" key F4; else "$close" "$id"; fi
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "still running after $1"; kill -9 $pid; return 1; fi
  wait $pid; status=$?
  [ $status -eq 0 ] || { echo "$1 ended with status $status"; cat out.txt; return 1; }
  echo "$1: status 0"
}

run_and_end_with F4 && run_and_end_with close

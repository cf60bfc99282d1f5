#!/bin/sh
# Runs one sanitized test program with its arguments.
# LeakSanitizer checks for leaks at exit from a tracer thread that stops every other thread; on
# a busy machine that tracer now and then crashes after every test has passed ("Tracer caught
# signal 11", then "LeakSanitizer has encountered a fatal error"), several times in a row while
# the machine is at its busiest. Such a run is made again after a pause that grows each time, up
# to five runs in all; any other failure, and a fifth crash, stands.
out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
attempt=1
while :; do
    "$@" >"$out" 2>&1
    status=$?
    [ "$status" -eq 0 ] || [ "$attempt" -eq 5 ] && break
    grep -q "^Tracer caught signal" "$out" && grep -q "LeakSanitizer has encountered a fatal error" "$out" || break
    cat "$out"
    echo "sanitized_run: LeakSanitizer's tracer crashed at exit; running the program again"
    sleep $((attempt * 2))
    attempt=$((attempt + 1))
done
cat "$out"
exit "$status"

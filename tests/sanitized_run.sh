#!/bin/sh
# Runs one sanitized test program with its arguments.
# LeakSanitizer checks for leaks at exit from a tracer thread that stops every other thread; on
# a busy machine that tracer now and then crashes after every test has passed ("Tracer caught
# signal 11", then "LeakSanitizer has encountered a fatal error"). Such a run is made again, up
# to three runs in all; any other failure, and a third crash, stands.
out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
attempt=1
while :; do
    "$@" >"$out" 2>&1
    status=$?
    [ "$status" -eq 0 ] || [ "$attempt" -eq 3 ] && break
    grep -q "^Tracer caught signal" "$out" && grep -q "LeakSanitizer has encountered a fatal error" "$out" || break
    cat "$out"
    echo "sanitized_run: LeakSanitizer's tracer crashed at exit; running the program again"
    attempt=$((attempt + 1))
done
cat "$out"
exit "$status"

#!/usr/bin/env bash
# Runs a command under an X server of its own and ends the server after it:
#   with_xvfb.sh COMMAND [ARGS...]
# The server picks a free display number itself (-displayfd), so tests that
# start servers at the same moment never race for one.
set -euo pipefail

number_file="$(mktemp "${TMPDIR:-/tmp}/kelvo-xvfb-XXXXXX")"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -f "$number_file"
}
trap cleanup EXIT

for _ in $(seq 200); do
  if [ -s "$number_file" ]; then
    break
  fi
  if ! kill -0 "$server" 2>/dev/null; then
    echo "with_xvfb.sh: Xvfb ended before reporting a display" >&2
    exit 1
  fi
  sleep 0.1
done
display="$(cat "$number_file")"
if [ -z "$display" ]; then
  echo "with_xvfb.sh: Xvfb reported no display within 20 s" >&2
  exit 1
fi
DISPLAY=":$display" "$@"

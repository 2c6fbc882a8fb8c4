#!/bin/sh
# CPU time and peak memory of the program while it watches the local test game
# server for a while (60 s by default) at its default 5 s refresh.
#   bench/stebejimo_cpu.sh [build folder] [seconds]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-60}
server="$build/tools/TestinisServeris/velmorant-testserver"
program="$build/windows/velmorant"
log=$(mktemp)
"$server" --address 127.0.0.1 --port 0 >"$log" 2>&1 &
spid=$!
trap 'kill "$spid" 2>/dev/null; kill "$ppid" 2>/dev/null; rm -f "$log"' EXIT
while ! grep -q '^PORT ' "$log"; do sleep 0.1; done
port=$(sed -n 's/^PORT \([0-9]*\).*/\1/p' "$log" | head -n 1)

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$program" "127.0.0.1:$port" >/dev/null 2>&1 &
ppid=$!
sleep 2 # start-up is not part of the figure
ticks=$(getconf CLK_TCK)
before=$(awk '{print $14 + $15}' /proc/$ppid/stat)
sleep "$seconds"
after=$(awk '{print $14 + $15}' /proc/$ppid/stat)
hwm=$(awk '/VmHWM/ {print $2 " " $3}' /proc/$ppid/status)
cpu=$(echo "$before $after $ticks $seconds" | awk '{printf "%.3f", ($2 - $1) / $3}')
share=$(echo "$cpu $seconds" | awk '{printf "%.3f", 100 * $1 / $2}')
echo "watching for ${seconds} s: CPU ${cpu} s (${share}% of one core), peak memory ${hwm}"

#!/bin/sh
# Builds the program and the local test game server, starts the server (as a
# server of today: "ping" and the Steam queries, see --help) on
# 127.0.0.1, with its remote console's password "velmorant", and opens the
# watcher already watching it. Closing the watcher stops the server.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh run
cmake -S . -B build -DVELMORANT_TESTS=OFF
cmake --build build -j"$(nproc)" --target velmorant velmorant-testserver

server=build/tools/TestinisServeris/velmorant-testserver
log=$(mktemp)
trap 'kill "$pid" 2>/dev/null; rm -f "$log"' EXIT INT TERM
# The usual game port when it is free, otherwise one the system picks.
for port in 27015 0; do
    "$server" --address 127.0.0.1 --port "$port" --mode modern --rcon-password velmorant >"$log" 2>&1 &
    pid=$!
    i=0
    while [ $i -lt 50 ] && ! grep -q '^PORT ' "$log" && kill -0 "$pid" 2>/dev/null; do
        sleep 0.1
        i=$((i + 1))
    done
    grep -q '^PORT ' "$log" && break
done
port=$(sed -n 's/^PORT \([0-9]*\).*/\1/p' "$log" | head -n 1)
[ -n "$port" ] || { cat "$log"; echo "the test game server did not start" >&2; exit 1; }
echo "Test game server on 127.0.0.1:$port (remote console password: velmorant)"
build/windows/velmorant "127.0.0.1:$port"

#!/bin/sh
# Builds the program and the local test game server, starts the server (as a
# server of today: "ping" and the Steam queries, see --help) on
# 127.0.0.1, with its remote console's password "velmorant" and its players'
# times advancing with the clock, and opens the
# watcher already watching it, and beside it the server browser with the
# community list of forty more test servers, as their own static list and
# their GoldSrc and Xash3D masters give it, without a Steam key (their Web API
# answers the Internet button with the key "velmorant"); four of them (the
# 5th, 15th, 25th and 35th) have fake players, drawn afresh at every look.
# Closing the watcher stops the servers.
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
    "$server" --address 127.0.0.1 --port "$port" --mode modern --rcon-password velmorant --live-times >"$log" 2>&1 &
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

# Forty more servers of today on ports of the system's, and the Steam Web API's
# server list for them over HTTP, which the browser asks with the key "velmorant";
# four of them (every tenth, none of the silent ones) answer with fake players
# (--fakes shuffle), which the browser marks once it has looked twice.
many=$(mktemp)
"$server" --address 127.0.0.1 --port 0 --count 40 --fakeip 2 --mode modern --web-api 0 --web-api-key velmorant \
    --master-gs 0 --master-xash 0 --master-page 16 --fakes shuffle --quiet >"$many" 2>&1 &
manypid=$!
sources=$(mktemp)
trap 'kill "$pid" "$manypid" 2>/dev/null; rm -f "$log" "$many" "$sources"' EXIT INT TERM
i=0
while [ $i -lt 50 ] && ! grep -q '^MASTER ' "$many" && kill -0 "$manypid" 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
done
api=$(sed -n 's/^WEBAPI \([0-9]*\).*/\1/p' "$many" | head -n 1)
[ -n "$api" ] || { cat "$many"; echo "the test servers' Web API did not start" >&2; exit 1; }
mastergs=$(sed -n 's/^MASTERGS \([0-9]*\).*/\1/p' "$many" | head -n 1)
master=$(sed -n 's/^MASTER \([0-9]*\).*/\1/p' "$many" | head -n 1)
[ -n "$mastergs" ] && [ -n "$master" ] || { cat "$many"; echo "the test servers' masters did not start" >&2; exit 1; }
echo "Steam Web API of 40 test servers on http://127.0.0.1:$api (key: velmorant)"
echo "Their community list on http://127.0.0.1:$api/v1/servers/cstrike, masters on 127.0.0.1:$mastergs (GoldSrc) and 127.0.0.1:$master (Xash3D)"
# The browser's sources: these, never the ones of the Internet.
printf 'masterstatic http://127.0.0.1:%s\nmastergs 127.0.0.1:%s\nmaster 127.0.0.1:%s\n' "$api" "$mastergs" "$master" >"$sources"
VELMORANT_STEAM_API="http://127.0.0.1:$api" VELMORANT_SOURCES="$sources" \
    build/windows/velmorant "127.0.0.1:$port" --browser

#!/usr/bin/env bash
# Runs a command while an HTTP test server of its own listens on 127.0.0.1; the
# command finds the port in VELMORA_HTTP_PORT. Every run gets its own server on
# its own port, so runs may go side by side. The server ends when its standard
# input closes, so it also goes away when this script is killed.
# VELMORA_TEST_SERVER names another server of this folder that starts and
# ends the same way (hls_test_server.py, for the downloader's samples).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

coproc SERVER { exec python3 -u "$here/${VELMORA_TEST_SERVER:-http_test_server.py}" 2>/dev/null; }
server_pid=$SERVER_PID
server_in=${SERVER[1]}
server_out=${SERVER[0]}
stop_server() {
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
}
trap stop_server EXIT

read -r -t 20 VELMORA_HTTP_PORT <&"$server_out" || {
    echo "with_http_server: the test server did not start" >&2
    exit 1
}
export VELMORA_HTTP_PORT

# The command must not hold the server's pipes: Wine's helper processes could
# keep them open long after it ends.
status=0
"$@" {server_in}>&- {server_out}<&- || status=$?
exit "$status"

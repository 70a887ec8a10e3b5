#!/usr/bin/env python3
"""HTTP server for the downloader's end-to-end tests and benchmarks: serves
the HLS samples under a root directory on 127.0.0.1 at a port of the system's
choosing. Prints the port on its first line of output and serves until its
standard input closes or it is killed. Keeps connections alive (HTTP/1.1), as
a real web server does, so every client may reuse them.

usage: hls_test_server.py [ROOT]    (default: $VELMORA_HLS_ROOT)

Paths are /MODE/VARIANT/FILE; MODE says how to answer:
  plain            every file as it is
  missing-NAME     the file NAME answers 404, the others as in plain
  slow             each answer waits 40 ms, and its body goes out at no more
                   than 5 MB/s per connection
In every playlist (*.m3u8) the host PLACEHOLDER_HOST stands for this server
and the mode, so absolute playlists made for that host point back here
through the same mode.

Playlists made on request (VARIANT "made"):
  /MODE/made/relative-N.m3u8       N relative segment names segNNNNNN.ts
  /MODE/made/not-a-playlist.m3u8   text that names segments but lacks #EXTM3U
  /MODE/made/no-segments.m3u8      a playlist with no segment line
A connection that opens with a TLS handshake is closed at once, so an https
address fails without waiting for a timeout.
"""

import os
import re
import socketserver
import sys
import threading
import time

PLACEHOLDER_HOST = b"http://hls.invalid"
SLOW_DELAY_S = 0.040
SLOW_RATE = 5 * 1000 * 1000  # bytes per second and connection
SLOW_PIECE = 16 * 1024
NOT_FOUND_BODY = b"<html><body>404: no such file</body></html>"
TLS_HANDSHAKE = b"\x16"

CONTENT_TYPES = {
    ".m3u8": "application/vnd.apple.mpegurl",
    ".ts": "video/mp2t",
    ".mp4": "video/mp4",
}


def made_playlist(name):
    """The body of a playlist made on request, or None."""
    many = re.fullmatch(r"relative-(\d+)\.m3u8", name)
    if many:
        lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:2"]
        for i in range(int(many.group(1))):
            lines += ["#EXTINF:2.000,", "seg%06d.ts" % i]
        lines.append("#EXT-X-ENDLIST")
        return ("\n".join(lines) + "\n").encode("ascii")
    if name == "not-a-playlist.m3u8":
        return b"#EXTINF:2.000,\nseg000.ts\n#EXTINF:2.000,\nseg001.ts\n"
    if name == "no-segments.m3u8":
        return b"#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-ENDLIST\n"
    return None


class Handler(socketserver.StreamRequestHandler):
    # A small last piece must not wait for the client's delayed acknowledgement.
    disable_nagle_algorithm = True

    def handle(self):
        # A TLS client hello would wait for a line end that never comes.
        if self.rfile.peek(1)[:1] == TLS_HANDSHAKE:
            return
        while self.serve_one():
            pass

    def serve_one(self):
        """Answers one request; true when the connection stays open."""
        head = []
        while True:
            line = self.rfile.readline(65536)
            if not line:
                return False
            if line in (b"\r\n", b"\n"):
                break
            head.append(line.decode("latin-1").rstrip("\r\n"))
        if not head:
            return True
        parts = head[0].split(" ")
        method = parts[0]
        path = parts[1].split("?", 1)[0] if len(parts) > 1 else "/"
        version = parts[2] if len(parts) > 2 else "HTTP/1.0"
        headers = {h.split(":", 1)[0].strip().lower(): h.split(":", 1)[1].strip()
                   for h in head[1:] if ":" in h}
        connection = headers.get("connection", "").lower()
        keep_alive = connection != "close" and (version == "HTTP/1.1" or connection == "keep-alive")

        status, content_type, body, slow = self.answer(path)
        if slow:
            time.sleep(SLOW_DELAY_S)
        lines = ["HTTP/1.1 " + status,
                 "Content-Type: " + content_type,
                 "Content-Length: %d" % len(body),
                 "Connection: " + ("keep-alive" if keep_alive else "close"), "", ""]
        self.wfile.write("\r\n".join(lines).encode("latin-1"))
        if method != "HEAD":
            self.send_body(body, slow)
        self.wfile.flush()
        return keep_alive

    def send_body(self, body, slow):
        if not slow:
            self.wfile.write(body)
            return
        start = time.monotonic()
        for offset in range(0, len(body), SLOW_PIECE):
            self.wfile.write(body[offset:offset + SLOW_PIECE])
            self.wfile.flush()
            due = start + (offset + SLOW_PIECE) / SLOW_RATE
            wait = due - time.monotonic()
            if wait > 0:
                time.sleep(wait)

    def answer(self, path):
        """(status, content type, body, slow) for a path."""
        not_found = ("404 Not Found", "text/html", NOT_FOUND_BODY, False)
        pieces = path.split("/")
        if len(pieces) != 4 or pieces[0] != "":
            return not_found
        mode, variant, name = pieces[1], pieces[2], pieces[3]
        slow = mode == "slow"
        if mode.startswith("missing-") and name == mode[len("missing-"):]:
            return not_found
        if not (mode in ("plain", "slow") or mode.startswith("missing-")):
            return not_found
        content_type = CONTENT_TYPES.get(os.path.splitext(name)[1], "application/octet-stream")
        if variant == "made":
            body = made_playlist(name)
        else:
            body = self.server.read_file(variant, name)
        if body is None:
            return not_found
        if name.endswith(".m3u8"):
            here = ("http://127.0.0.1:%d/%s" % (self.server.server_address[1], mode)).encode("ascii")
            body = body.replace(PLACEHOLDER_HOST, here)
        return "200 OK", content_type, body, slow


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, root):
        super().__init__(("127.0.0.1", 0), Handler)
        self.root = os.path.realpath(root)
        self.cache = {}
        self.cache_lock = threading.Lock()

    def read_file(self, variant, name):
        """A file of the root's variant directory, kept in memory once read."""
        if variant in ("", ".", "..") or name in ("", ".", ".."):
            return None
        path = os.path.join(self.root, variant, name)
        with self.cache_lock:
            if path not in self.cache:
                try:
                    with open(path, "rb") as f:
                        self.cache[path] = f.read()
                except OSError:
                    return None
            return self.cache[path]

    def handle_error(self, request, client_address):
        # Clients that hang up early, or speak TLS to us, are part of the tests.
        pass


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("VELMORA_HLS_ROOT", "")
    if not root or not os.path.isdir(root):
        print("hls_test_server: no sample directory (argument or VELMORA_HLS_ROOT)", file=sys.stderr)
        sys.exit(2)
    server = Server(root)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.buffer.read()
    server.shutdown()


if __name__ == "__main__":
    main()

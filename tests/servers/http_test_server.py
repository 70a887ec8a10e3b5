#!/usr/bin/env python3
"""HTTP server for the HTTP reader's tests, on 127.0.0.1 at a port of the
system's choosing. Prints the port on its first line of output and serves
until its standard input closes or it is killed.

Paths:
  /echo...             200; the body is the request head exactly as received
  /length/N            200 with Content-Length N and N pattern bytes
  /nolength/N          HTTP/1.0 200 without Content-Length; the body ends at close
  /chunked/N           HTTP/1.1 200, N pattern bytes in chunked transfer coding
  /cut/N/M             Content-Length N, then M pattern bytes and the connection closes
  /redirect/PATH       302 to /PATH
  /redirects/N         302 to /redirects/N-1; /redirects/0 is 200 with the body "arrived"
  /loop                302 to /loop
  /status/N            status N with a short body
  /stall/N/M           Content-Length N, M pattern bytes, then silence until the client leaves
  /trickle/N           Content-Length N, one pattern byte every 100 ms
  /never               the request read, no answer ever
A connection that opens with a TLS handshake gets no answer either.
  anything else        404 with the body NOT_FOUND_BODY
"""

import socketserver
import sys
import threading
import time

NOT_FOUND_BODY = b"<html><body>404: no such playlist</body></html>"
CHUNKED_PIECE = 4096
TLS_HANDSHAKE = b"\x16"
TRICKLE_INTERVAL_S = 0.1


def pattern(length):
    """Bytes i * 31 + 7 modulo 256: every byte value, zeros included."""
    return bytes((i * 31 + 7) & 0xFF for i in range(length))


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        if self.rfile.peek(1)[:1] == TLS_HANDSHAKE:
            self.wait_for_close()
            return
        head = b""
        while True:
            line = self.rfile.readline(65536)
            if not line:
                return
            head += line
            if line in (b"\r\n", b"\n"):
                break
        request_line = head.split(b"\r\n", 1)[0].decode("latin-1")
        parts = request_line.split(" ")
        path = parts[1] if len(parts) > 1 else "/"
        self.respond(path, head)

    def wait_for_close(self):
        try:
            while self.rfile.read1(4096):
                pass
        except OSError:
            pass

    def send(self, status, headers, body, version="HTTP/1.0"):
        lines = ["%s %s" % (version, status)] + headers + ["Connection: close", "", ""]
        self.wfile.write("\r\n".join(lines).encode("latin-1") + body)

    def respond(self, path, head):
        segments = path.split("/")
        kind = segments[1] if len(segments) > 1 else ""
        numbers = [int(s) for s in segments[2:] if s.isdigit()]
        if path.startswith("/echo"):
            self.send("200 OK", ["Content-Length: %d" % len(head)], head)
        elif kind == "length" and len(numbers) == 1:
            self.send("200 OK", ["Content-Length: %d" % numbers[0]], pattern(numbers[0]))
        elif kind == "nolength" and len(numbers) == 1:
            self.send("200 OK", [], pattern(numbers[0]))
        elif kind == "chunked" and len(numbers) == 1:
            self.send("200 OK", ["Transfer-Encoding: chunked"], b"", "HTTP/1.1")
            body = pattern(numbers[0])
            for start in range(0, len(body), CHUNKED_PIECE):
                piece = body[start:start + CHUNKED_PIECE]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.write(b"0\r\n\r\n")
        elif kind == "cut" and len(numbers) == 2:
            self.send("200 OK", ["Content-Length: %d" % numbers[0]], pattern(numbers[1]))
        elif kind == "stall" and len(numbers) == 2:
            self.send("200 OK", ["Content-Length: %d" % numbers[0]], pattern(numbers[1]))
            self.wfile.flush()
            self.wait_for_close()
        elif kind == "trickle" and len(numbers) == 1:
            self.send("200 OK", ["Content-Length: %d" % numbers[0]], b"")
            for byte in pattern(numbers[0]):
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(TRICKLE_INTERVAL_S)
        elif kind == "never":
            self.wait_for_close()
        elif kind == "redirects" and len(numbers) == 1:
            if numbers[0] == 0:
                self.send("200 OK", ["Content-Length: 7"], b"arrived")
            else:
                target = "/redirects/%d" % (numbers[0] - 1)
                self.send("302 Found", ["Location: " + target, "Content-Length: 0"], b"")
        elif kind == "loop":
            self.send("302 Found", ["Location: /loop", "Content-Length: 0"], b"")
        elif kind == "status" and len(numbers) == 1:
            self.send("%d Status" % numbers[0], ["Content-Length: 6"], b"status")
        elif kind == "redirect":
            target = "/" + path[len("/redirect/"):]
            self.send("302 Found", ["Location: " + target, "Content-Length: 0"], b"")
        else:
            self.send("404 Not Found", ["Content-Length: %d" % len(NOT_FOUND_BODY),
                                        "Content-Type: text/html"], NOT_FOUND_BODY)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # Clients that hang up early are part of the tests, not news.
        pass


def main():
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.buffer.read()
    server.shutdown()


if __name__ == "__main__":
    main()

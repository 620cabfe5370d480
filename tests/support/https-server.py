#!/usr/bin/env python3
"""Serves a folder over HTTPS on 127.0.0.1 for the update transport's tests.

Usage: https-server.py --root DIR --certificate PEM --key PEM --port-file FILE

Listens on an ephemeral port and writes it to FILE (complete, once listening). A missing file
answers 404. Path prefixes change how a file is served:
  /short/NAME          announces NAME's full length, sends half of it and closes the connection
  /stall/NAME          announces NAME's full length, sends its first bytes, then goes silent
  /unsized/NAME        sends NAME without announcing its length, ending it by closing
  /redirect/PATH       302 to https://127.0.0.1:PORT/PATH on this server
  /redirect-http/PATH  302 to http://127.0.0.1:PORT/PATH, an address that is not secure
Stops on SIGTERM or SIGINT.
"""

import argparse
import http.server
import os
import signal
import ssl
import sys
import time


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."

    def log_message(self, format, *args):  # the tests read their own output, not the server's
        pass

    def setup(self):
        # The handshake runs in the connection's own thread, so a client that connects and
        # then says nothing (or gives up) holds up no other connection.
        self.request.settimeout(30)
        self.request.do_handshake()
        super().setup()

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        for prefix, handler in (("/redirect-http/", self.redirect_to("http")),
                                ("/redirect/", self.redirect_to("https")),
                                ("/short/", self.send_short),
                                ("/stall/", self.send_stalled),
                                ("/unsized/", self.send_unsized)):
            if path.startswith(prefix):
                return handler(path[len(prefix) - 1:])
        return self.send_file(path)

    def read(self, path):
        name = os.path.normpath(os.path.join(self.root, path.lstrip("/")))
        if not name.startswith(os.path.abspath(self.root) + os.sep) or not os.path.isfile(name):
            return None
        with open(name, "rb") as f:
            return f.read()

    def send_headers(self, status, length, extra=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        for key, value in extra:
            self.send_header(key, value)
        self.end_headers()

    def send_missing(self):
        body = b"not here\n"
        self.send_headers(404, len(body))
        self.wfile.write(body)

    def send_file(self, path):
        body = self.read(path)
        if body is None:
            return self.send_missing()
        self.send_headers(200, len(body))
        self.wfile.write(body)

    def send_short(self, path):
        body = self.read(path)
        if body is None:
            return self.send_missing()
        self.send_headers(200, len(body))
        self.wfile.write(body[: len(body) // 2])
        self.wfile.flush()
        self.close_connection = True

    def send_unsized(self, path):
        body = self.read(path)
        if body is None:
            return self.send_missing()
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def send_stalled(self, path):
        body = self.read(path)
        if body is None:
            return self.send_missing()
        self.send_headers(200, len(body))
        self.wfile.write(body[: min(16, len(body) // 2)])
        self.wfile.flush()
        time.sleep(600)  # the client gives up first; the thread dies with the server
        self.close_connection = True

    def redirect_to(self, scheme):
        def redirect(path):
            port = self.server.server_address[1]
            self.send_response(302)
            self.send_header("Location", f"{scheme}://127.0.0.1:{port}{path}")
            self.send_header("Content-Length", "0")
            self.end_headers()
        return redirect


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--certificate", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--port-file", required=True)
    options = parser.parse_args()

    Handler.root = os.path.abspath(options.root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(options.certificate, options.key)
    server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    server.handle_error = lambda request, address: None  # refused handshakes are the tests' point

    # Written whole, then renamed: a reader never sees half a port number.
    partial = options.port_file + ".partial"
    with open(partial, "w") as f:
        f.write(f"{server.server_address[1]}\n")
    os.rename(partial, options.port_file)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()

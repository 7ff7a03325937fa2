#!/usr/bin/env python3
# Loopback https servers for the update check and download tests: one per certificate made by
# tls-fixture.sh, all serving the same few paths, until the fixture ends them. Writes
# "<certificate> <port>" lines to <dir>/ports once every server listens.
import http.server
import os
import ssl
import sys
import threading
import time
import urllib.parse

CERTIFICATES = ["trusted", "expired", "wrongname", "selfsigned"]
INSTALLER_BYTES = 100000


def installer():
    # The same bytes the tests expect: 'a' to 'z' over and over.
    return bytes(ord("a") + i % 26 for i in range(INSTALLER_BYTES))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/setup.exe":
            self.answer(200, installer())
        elif url.path == "/update.xml":
            self.answer(200, b"<Quillet><version_code>7</version_code></Quillet>")
        elif url.path == "/redirect":
            # Where to go comes with the request: the plain server's port is only known to the test.
            target = urllib.parse.parse_qs(url.query).get("to", ["/setup.exe"])[0]
            self.answer(302, b"", [("Location", target)])
        elif url.path == "/loop":
            self.answer(302, b"", [("Location", "/loop")])
        elif url.path == "/silent":
            time.sleep(3600)  # a server that takes the request and never answers
        elif url.path == "/short":
            # Announces more than it sends, then hangs up: a cut-off installer.
            self.send_response(200)
            self.send_header("Content-Length", "5000")
            self.end_headers()
            self.wfile.write(installer()[:1000])
            self.wfile.flush()
            self.close_connection = True
        else:
            self.answer(404, b"not here")

    def answer(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # refused handshakes are what several tests want


def serve(directory, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(directory, name + ".pem"), os.path.join(directory, name + ".key"))
    server = Server(("127.0.0.1", 0), Handler)
    # The handshake runs on the connection's own thread, so one stalled client can't block the rest.
    server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False,
                                        suppress_ragged_eofs=True)
    return server


def main():
    directory = sys.argv[1]
    servers = {name: serve(directory, name) for name in CERTIFICATES}
    for server in servers.values():
        threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(os.path.join(directory, "ports.tmp"), "w") as ports:
        for name, server in servers.items():
            ports.write("%s %d\n" % (name, server.server_address[1]))
    os.replace(os.path.join(directory, "ports.tmp"), os.path.join(directory, "ports"))
    threading.Event().wait()


if __name__ == "__main__":
    main()

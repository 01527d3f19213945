# SPDX-License-Identifier: GPL-3.0-or-later
"""How soon an open page hears of a change made over the network: from a FREQ line on the raw
SCPI socket to the state the window's front panel server pushes over the page's WebSocket
(/live), with the window open on the simulated generator; aim at most 50 ms (median).

    /usr/bin/python3 bench/page_push_bench.py build/release/tools/tavero

(python3-wsproto, the Debian package, is the WebSocket client.)
"""
import json
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse

from wsproto import ConnectionType, WSConnection
from wsproto.events import (AcceptConnection, CloseConnection, Ping, RejectConnection, Request,
                             TextMessage)

ROUNDS = 60


class LivePage:
    """A page's WebSocket on /live, as the browser opens it (same origin)."""

    def __init__(self, page_url):
        address = urllib.parse.urlsplit(page_url)
        self.socket = socket.create_connection((address.hostname, address.port))
        self.socket.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.connection = WSConnection(ConnectionType.CLIENT)
        origin = f"http://{address.netloc}"
        self.socket.sendall(self.connection.send(Request(
            host=address.netloc, target="/live", extra_headers=[(b"origin", origin.encode())])))
        self.pending = []
        self.text = ""
        self.accepted = False
        while not self.accepted:
            self._read()

    def _read(self):
        data = self.socket.recv(65536)
        if not data:
            raise RuntimeError("the server closed the page's socket")
        self.connection.receive_data(data)
        for event in self.connection.events():
            if isinstance(event, AcceptConnection):
                self.accepted = True
            elif isinstance(event, TextMessage):
                self.text += event.data
                if event.message_finished:
                    self.pending.append(json.loads(self.text))
                    self.text = ""
            elif isinstance(event, Ping):
                self.socket.sendall(self.connection.send(event.response()))
            elif isinstance(event, (CloseConnection, RejectConnection)):
                raise RuntimeError(f"the page was refused or closed: {event!r}")

    def next_state(self):
        while not self.pending:
            self._read()
        return self.pending.pop(0)


def start_window(tavero_path, home):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home,
                       XDG_CONFIG_HOME=os.path.join(home, "config"),
                       XDG_DATA_HOME=os.path.join(home, "data"),
                       XDG_RUNTIME_DIR=home, LANG="de_DE.UTF-8")
    process = subprocess.Popen([tavero_path, "--simulator", "--serve", "--listen", "127.0.0.1:0",
                                "--http", "127.0.0.1:0"],
                               stdout=subprocess.PIPE, text=True, env=environment)
    scpi_port = page_url = None
    while scpi_port is None or page_url is None:
        line = process.stdout.readline()
        if not line:
            raise RuntimeError("tavero ended before it served")
        if line.startswith("Listening on "):
            scpi_port = int(line.strip().rsplit(":", 1)[1])
        elif line.startswith("Front panel on "):
            page_url = line.strip().rsplit(" ", 1)[1]
    return process, scpi_port, page_url


def main(tavero_path):
    with tempfile.TemporaryDirectory() as home:
        process, scpi_port, page_url = start_window(tavero_path, home)
        try:
            page = LivePage(page_url)
            page.next_state()  # the state the page opens with
            pushed = []
            with socket.create_connection(("127.0.0.1", scpi_port)) as scpi:
                scpi.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                for i in range(ROUNDS):
                    shown = f"{1000.25 + 0.25 * i:.2f}"  # the window opens at 1000.00
                    start = time.perf_counter()
                    scpi.sendall(f"FREQ {shown}\n".encode())
                    while page.next_state().get("frequency") != shown:
                        pass
                    pushed.append(time.perf_counter() - start)
        finally:
            process.terminate()
            process.wait()
    print(f"FREQ over SCPI -> state pushed to an open page: median "
          f"{statistics.median(pushed) * 1000:.2f} ms, max {max(pushed) * 1000:.2f} ms over "
          f"{ROUNDS} changes (aim <= 50 ms)")


if __name__ == "__main__":
    main(sys.argv[1])

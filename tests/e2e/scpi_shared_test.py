# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve shared by several clients on the paced simulator: fair turns, clients that
half-close (socat, netcat), and HTTP requests a web page can make a browser send."""
import http.client
import os
import socket
import struct
import subprocess
import sys
import unittest

from scpi_serve import Server, query

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)


class SharedServer(unittest.TestCase):
    def setUp(self):
        self.server = Server(SIM, CTL, pace=True)
        self.addCleanup(self.server.close)

    def connect(self):
        client = socket.create_connection(("127.0.0.1", self.server.port), timeout=30)
        self.addCleanup(client.close)
        return client

    def test_a_streaming_client_leaves_the_others_their_turns(self):
        streaming, other = self.connect(), self.connect()
        streaming.sendall("".join(f"FREQ {1000 + n}\n" for n in range(1, 1001)).encode())
        identity, during = query(other, "*IDN?;FREQ?").rsplit(";", 1)
        self.assertTrue(identity.startswith("Tavero,Tavero,0,"), identity)
        # Which of the stream's lines was carried out last when the other had its turn.
        self.assertLess(float(during), 1010.0)
        # A client that resets the connection takes what it queued with it.
        streaming.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        streaming.close()
        after = query(other, "FREQ?")
        self.assertLess(float(after), 2000.0)
        self.assertEqual(query(other, "FREQ?"), after)

    def test_half_closed_clients_get_their_answers(self):
        port = str(self.server.port)
        clients = [
            ["socat", "-t", "30", "-", "TCP:127.0.0.1:" + port],
            ["nc", "-N", "127.0.0.1", port],
        ]
        for number, command in enumerate(clients):
            with self.subTest(client=command[0]):
                frequency = f"{2500 + number}.00"
                result = subprocess.run(command, input=f"*IDN?\nFREQ {frequency};FREQ?\n",
                                        capture_output=True, text=True, timeout=60, check=True)
                lines = result.stdout.splitlines()
                self.assertEqual(len(lines), 2, result.stdout)
                self.assertTrue(lines[0].startswith("Tavero,Tavero,0,"), lines[0])
                self.assertEqual(lines[1], frequency)

    def test_http_requests_change_nothing(self):
        for method in ["POST", "PUT"]:
            with self.subTest(method=method):
                browser = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=30)
                self.addCleanup(browser.close)
                browser.request(method, "/", body="FREQ 1234\n*SAV 7\n",
                                headers={"Content-Type": "text/plain"})
                with self.assertRaises(ConnectionError):
                    browser.getresponse()
        self.assertEqual(query(self.connect(), "FREQ?"), "1000.00")
        profile_file = os.path.join(self.server.folder.name, "Tavero", "Profile", "Profile.pro")
        self.assertFalse(os.path.exists(profile_file))
        status, errors = self.server.stop()
        self.assertEqual(status, 0, errors)
        self.assertEqual(len([line for line in errors.splitlines() if "HTTP" in line]), 2, errors)


if __name__ == "__main__":
    unittest.main()

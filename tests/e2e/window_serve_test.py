# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero --serve: the window, offscreen on its simulated generator, answers on the SCPI socket."""
import socket
import sys
import unittest

from scpi_serve import Window, query

TAVERO = sys.argv.pop(1)


class WindowServes(unittest.TestCase):
    def test_answers_on_the_raw_socket_while_the_window_is_open(self):
        window = Window(TAVERO)
        self.addCleanup(window.close)
        self.assertTrue(window.listening.startswith("Listening on 127.0.0.1:"), window.listening)
        with socket.create_connection(("127.0.0.1", window.port), timeout=30) as client:
            self.assertTrue(query(client, "*IDN?").startswith("Tavero,Tavero,0,1.20-"))
            client.sendall(b"FREQ 1234.5\n")
            self.assertEqual(query(client, "FREQ?"), "1234.50")
            self.assertEqual(query(client, "SYST:ERR?"), '0,"No error"')


if __name__ == "__main__":
    unittest.main()

# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero --serve: the window, offscreen on its simulated generator, answers on the SCPI socket."""
import socket
import sys
import unittest

from scpi_serve import Simulator, Window, query

SIMULATOR = sys.argv.pop(1)
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

    def test_sigterm_closes_the_window_with_the_disconnect_notice(self):
        for generator in ("built-in", "pty"):
            with self.subTest(generator):
                sim = Simulator(SIMULATOR) if generator == "pty" else None
                if sim:
                    self.addCleanup(sim.stop)
                window = Window(TAVERO, port=sim.path if sim else None)
                self.addCleanup(window.close)
                self.assertTrue(window.listening.startswith("Listening on 127.0.0.1:"),
                                window.listening)
                status, errors = window.stop()
                self.assertEqual(status, 0, errors)
                if sim:
                    events = []
                    while not events or events[-1] != "port closed":
                        events += sim.events(1)
                    self.assertEqual(events[:3], ["port opened", "x 01", "P"])
                    self.assertEqual(events[-2:], ["x 00", "port closed"])


if __name__ == "__main__":
    unittest.main()

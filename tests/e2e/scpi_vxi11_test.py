# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve against tavero-sim, driven over VXI-11 by lxi-tools (libtirpc) and PyVISA's
pyvisa-py, with the server's own port mapper on port 111. Runs in a network namespace of its
own, where loopback is the only interface and port 111 is free; exits 77 (skipped) where no
namespace can be made."""
import socket
import subprocess
import sys
import unittest

import network_namespace

network_namespace.enter()

import pyvisa  # noqa: E402

from scpi_serve import Server  # noqa: E402

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)
NOT_FOUND = "VXI-11 clients will not find this instrument"


class ServeOverVxi11(unittest.TestCase):
    def start(self):
        server = Server(SIM, CTL)
        self.addCleanup(server.close)
        self.assertTrue(server.listening.startswith("Listening on 127.0.0.1:"), server.listening)
        self.assertEqual(server.sim.events(3), ["port opened", "x 01", "P"])
        return server

    def stop(self, server):
        status, errors = server.stop()
        self.assertEqual(status, 0, errors)
        return errors

    def test_lxi_tools_finds_it_through_the_port_mapper(self):
        server = self.start()
        for command, answer in [("*IDN?", "Tavero,Tavero,0,1.20-1.2.0"), ("FREQ 1500", ""),
                                ("FREQ?", "1500.00")]:
            with self.subTest(command=command):
                result = subprocess.run(["lxi", "scpi", "-a", "127.0.0.1", command],
                                        capture_output=True, text=True, timeout=30)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stdout.strip(), answer)
        self.assertEqual(server.sim.events(1), ["f 00 02 49 F0"])
        self.assertNotIn(NOT_FOUND, self.stop(server))

    def test_pyvisa_sets_and_reads_back_frequency_and_amplitude(self):
        server = self.start()
        resources = pyvisa.ResourceManager("@py")
        instrument = resources.open_resource("TCPIP::127.0.0.1::INSTR", read_termination="\n",
                                             write_termination="\n", timeout=5000)
        try:
            self.assertEqual(instrument.query("*IDN?"), "Tavero,Tavero,0,1.20-1.2.0")
            cases = [  # command, query, answer, the frame the generator received
                ("FREQ 2500.1", "FREQ?", "2500.00", "f 00 03 D0 90"),
                ("VOLT 250MV", "VOLT?", "0.250", "g 00 FA"),
            ]
            for command, query, answer, frame in cases:
                with self.subTest(command=command):
                    instrument.write(command)
                    self.assertEqual(instrument.query(query), answer)
                    self.assertEqual(server.sim.events(1), [frame])
            instrument.write("VOLT 1.5")
            self.assertEqual(instrument.query("SYST:ERR?")[:5], "-222,")
        finally:
            instrument.close()
            resources.close()
        self.assertNotIn(NOT_FOUND, self.stop(server))

    def test_says_in_one_line_when_port_111_is_taken_and_serves_the_raw_socket(self):
        taken = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.addCleanup(taken.close)
        taken.bind(("127.0.0.1", 111))
        server = self.start()
        with socket.create_connection(("127.0.0.1", server.port), timeout=5) as raw:
            raw.sendall(b"*IDN?\n")
            self.assertEqual(raw.makefile().readline(), "Tavero,Tavero,0,1.20-1.2.0\n")
        lines = [line for line in self.stop(server).splitlines() if NOT_FOUND in line]
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("install rpcbind", lines[0])
        self.assertIn("cap_net_bind_service", lines[0])


if __name__ == "__main__":
    unittest.main()

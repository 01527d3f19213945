# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve against tavero-sim on a pseudo-terminal, driven by PyVISA's pyvisa-py."""
import os
import subprocess
import sys
import tempfile
import unittest

import pyvisa

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)


class Simulator:
    """tavero-sim on a pseudo-terminal, its logged events read one by one."""

    def __init__(self):
        self.process = subprocess.Popen([SIM], stdout=subprocess.PIPE, text=True)
        self.path = self.process.stdout.readline().strip()

    def events(self, count):
        """The next `count` events without their time stamps, e.g. "f 00 01 86 A0"."""
        return [self.process.stdout.readline().strip().split(" ", 1)[1] for _ in range(count)]

    def stop(self):
        self.process.terminate()
        self.process.wait()
        self.process.stdout.close()


class ServeOverPyvisa(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.sim = Simulator()
        self.addCleanup(self.sim.stop)
        environment = dict(os.environ, XDG_DATA_HOME=self.folder.name)
        self.server = subprocess.Popen(
            [CTL, "--port", self.sim.path, "serve", "--listen", "127.0.0.1:0"],
            stdout=subprocess.PIPE, text=True, cwd=self.folder.name, env=environment)
        self.addCleanup(self.server.stdout.close)
        self.addCleanup(self.server.kill)
        listening = self.server.stdout.readline().strip()
        self.assertTrue(listening.startswith("Listening on 127.0.0.1:"), listening)
        port = listening.rsplit(":", 1)[1]
        self.assertEqual(self.sim.events(3), ["port opened", "x 01", "P"])
        self.resources = pyvisa.ResourceManager("@py")
        self.instrument = self.resources.open_resource(
            f"TCPIP::127.0.0.1::{port}::SOCKET", read_termination="\n",
            write_termination="\n", timeout=5000, encoding="utf-8")

    def tearDown(self):
        self.instrument.close()
        self.resources.close()
        self.server.terminate()
        self.assertEqual(self.server.wait(), 0)
        self.assertEqual(self.sim.events(2), ["x 00", "port closed"])

    def test_sets_and_reads_back_what_the_generator_received(self):
        self.assertEqual(self.instrument.query("*IDN?"), "Tavero,Tavero,0,1.20-1.2.0")
        cases = [  # command, query, answer, frame the generator received
            ("FREQ 1.5KHZ", "FREQ?", "1500.00", "f 00 02 49 F0"),
            ("SOUR:FREQ 1000.1", "FREQ?", "1000.00", "f 00 01 86 A0"),
            ("VOLT 250MV", "VOLT?", "0.250", "g 00 FA"),
            ("FUNC SQU", "FUNC?", "SQU", "s 02"),
            ("FUNC RAMP", "FUNC?", "TRI", "s 01"),
        ]
        for command, query, answer, frame in cases:
            with self.subTest(command=command):
                self.instrument.write(command)
                self.assertEqual(self.instrument.query(query), answer)
                self.assertEqual(self.sim.events(1), [frame])

    def test_refuses_a_value_out_of_range_with_an_error_in_the_queue(self):
        self.instrument.write("VOLT 1.5")
        self.assertEqual(self.instrument.query("SYST:ERR?"),
                         '-222,"Data out of range; Amplitude=1500 is refused: allowed is 0 to 1000"')
        self.assertEqual(self.instrument.query("SYST:ERR?"), '0,"No error"')
        # Nothing reached the generator: the next event is the frequency sent after it.
        self.assertEqual(self.instrument.query("FREQ 2000;*OPC?"), "1")
        self.assertEqual(self.sim.events(1), ["f 00 03 0D 40"])

    def test_saves_and_recalls_the_windows_profiles(self):
        self.assertEqual(self.instrument.query("FREQ 2500;*SAV 3;*OPC?"), "1")
        profile_file = os.path.join(self.folder.name, "Tavero", "Profile", "Profile.pro")
        with open(profile_file, encoding="cp1252") as saved:
            text = saved.read()
        self.assertIn('<Profil_3 Frequenz="250000"', text)
        self.assertIn("SCPI 3", text)
        self.assertEqual(self.instrument.query("*RST;FREQ?"), "1000.00")
        self.assertEqual(self.instrument.query("*RCL 3;FREQ?"), "2500.00")
        events = self.sim.events(3)
        self.assertEqual(events[0], "f 00 03 D0 90")
        self.assertTrue(events[1].startswith("p 00 01 86 A0"), events[1])
        self.assertTrue(events[2].startswith("p 00 03 D0 90"), events[2])


if __name__ == "__main__":
    unittest.main()

# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve against tavero-sim on a pseudo-terminal, driven by PyVISA's pyvisa-py."""
import os
import sys
import unittest

import pyvisa

from scpi_serve import Server

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)


class ServeOverPyvisa(unittest.TestCase):
    def setUp(self):
        self.server = Server(SIM, CTL)
        self.addCleanup(self.server.close)
        self.sim = self.server.sim
        self.assertTrue(self.server.listening.startswith("Listening on 127.0.0.1:"),
                        self.server.listening)
        self.assertEqual(self.sim.events(3), ["port opened", "x 01", "P"])
        self.resources = pyvisa.ResourceManager("@py")
        # PyVISA's own encoding, ASCII, as scripts use it.
        self.instrument = self.resources.open_resource(
            f"TCPIP::127.0.0.1::{self.server.port}::SOCKET", read_termination="\n",
            write_termination="\n", timeout=5000)

    def tearDown(self):
        self.instrument.close()
        self.resources.close()
        status, errors = self.server.stop()
        self.assertEqual(status, 0, errors)
        if self.sim.process.poll() is None:
            self.assertEqual(self.sim.events(2), ["x 00", "port closed"])

    def test_sets_and_reads_back_what_the_generator_received(self):
        self.assertEqual(self.instrument.query("*IDN?"), "Tavero,Tavero,0,1.20-1.2.0")
        cases = [  # command, query, answer, starts of the frames the generator received
            ("FREQ 1.5KHZ", "FREQ?", "1500.00", ["f 00 02 49 F0"]),
            ("SOUR:FREQ 1000.1", "FREQ?", "1000.00", ["f 00 01 86 A0"]),
            ("VOLT 250MV", "VOLT?", "0.250", ["g 00 FA"]),
            ("FUNC SQU", "FUNC?", "SQU", ["s 02"]),
            ("FUNC RAMP", "FUNC?", "TRI", ["s 01"]),
            ("SWE:TIME 0.3", "SWE:TIME?", "0.303", ["w "]),  # the sweep rate's 0.1 Hz grid
            ("TAV:PLL:FACT 2048;:FREQ 1000000020", "FREQ?", "1000000020.48", ["t ", "f "]),
        ]
        for command, query, answer, frames in cases:
            with self.subTest(command=command):
                self.instrument.write(command)
                self.assertEqual(self.instrument.query(query), answer)
                for event, frame in zip(self.sim.events(len(frames)), frames):
                    self.assertTrue(event.startswith(frame), event)

    def test_refuses_a_value_out_of_range_with_an_error_in_the_queue(self):
        self.instrument.write("VOLT 1.5")
        self.assertEqual(self.instrument.query("SYST:ERR?"),
                         '-222,"Data out of range; VOLT: allowed is 0.000 to 1.000 V"')
        self.assertEqual(self.instrument.query("SYST:ERR?"), '0,"No error"')
        # Nothing reached the generator: the next event is the frequency sent after it.
        self.assertEqual(self.instrument.query("FREQ 2000;*OPC?"), "1")
        self.assertEqual(self.sim.events(1), ["f 00 03 0D 40"])

    def test_saves_and_recalls_the_windows_profiles(self):
        self.assertEqual(self.instrument.query("FREQ 2500;*SAV 3;*OPC?"), "1")
        profile_file = os.path.join(self.server.folder.name, "Tavero", "Profile", "Profile.pro")
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

    def test_reports_status_as_ieee_488_2_has_it(self):
        self.instrument.write("FOO")
        self.assertEqual(self.instrument.query("*STB?;*SRE 4;*STB?"), "4;68")
        self.assertEqual(self.instrument.query("SYST:ERR:COUN?;:SYST:ERR:ALL?;COUN?"),
                         '1;-113,"Undefined header";0')

    def test_answers_in_ascii_when_the_generator_is_gone(self):
        self.instrument.write_raw(b"FREQ 1\xff\n")
        self.assertEqual(self.instrument.query("SYST:ERR?"), '-131,"Invalid suffix; \\xff"')
        self.sim.stop()
        self.instrument.write("FREQ 2000")
        self.instrument.write("FREQ 3000")
        # PyVISA decodes ASCII: a byte beyond it would raise UnicodeDecodeError here.
        errors = self.instrument.query("SYST:ERR:ALL?")
        self.assertIn('110,"Es konnte keine Datenverbindung zum Tavero aufgebaut werden.', errors)
        self.assertIn("Darf Ihr Benutzer es oeffnen?", errors)


if __name__ == "__main__":
    unittest.main()

# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve driven by PyMeasure's stock drivers of other makers' generators, through
PyVISA's pyvisa-py: their frequency, amplitude, offset and limit properties."""
import sys
import unittest

from pymeasure.instruments.agilent import Agilent33220A
from pymeasure.instruments.hp import HP33120A
from pymeasure.instruments.tektronix import AFG3152C

from scpi_serve import Server

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)


class StockDrivers(unittest.TestCase):
    def setUp(self):
        self.server = Server(SIM, CTL)
        self.addCleanup(self.server.close)

    def open(self, driver):
        instrument = driver(f"TCPIP::127.0.0.1::{self.server.port}::SOCKET", visa_library="@py",
                            read_termination="\n", write_termination="\n", timeout=5000)
        self.addCleanup(instrument.adapter.connection.close)
        return instrument

    def test_agilent_33220a(self):
        generator = self.open(Agilent33220A)
        generator.frequency = 1500.0
        generator.amplitude = 0.25
        generator.offset = 0
        self.assertEqual((generator.frequency, generator.amplitude, generator.offset),
                         (1500.0, 0.25, 0.0))
        self.assertEqual(generator.check_errors(), [])
        generator.offset = 0.5
        self.assertEqual(generator.check_errors(), [
            'Agilent 33220A: -222.0: "Data out of range; VOLT:OFFS: allowed is 0.000 to 0.000 V"'])

    def test_hp_33120a(self):
        generator = self.open(HP33120A)  # sets the amplitude unit to VPP
        generator.frequency = 2e6
        generator.amplitude = 0.5
        generator.offset = 0
        self.assertEqual((generator.frequency, generator.amplitude, generator.offset),
                         (2e6, 0.5, 0.0))
        limits = (generator.min_frequency, generator.max_frequency, generator.min_amplitude,
                  generator.max_amplitude, generator.min_offset, generator.max_offset)
        self.assertEqual(limits, (0.25, 3e7, 0.0, 1.0, 0.0, 0.0))
        self.assertEqual(generator.ask("SYST:ERR?").strip(), '0,"No error"')

    def test_tektronix_afg3152c(self):
        generator = self.open(AFG3152C)
        generator.ch1.frequency = 1e3
        generator.ch1.amp_vpp = 0.1
        generator.ch1.offset = 0
        self.assertEqual((generator.ch1.frequency, generator.ch1.amp_vpp, generator.ch1.offset),
                         (1000.0, 0.1, 0.0))
        self.assertEqual(generator.ask("SYST:ERR?").strip(), '0,"No error"')


if __name__ == "__main__":
    unittest.main()

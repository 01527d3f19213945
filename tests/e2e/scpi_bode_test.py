# SPDX-License-Identifier: GPL-3.0-or-later
"""A Siglent oscilloscope's Bode plot session replayed over raw RPC as the scope sends it: a UDP
GETPORT to port 111 before every link, one link per command (create_link, device_write,
device_read for a query, destroy_link), against tavero-ctl serve on tavero-sim, with and
without --vxi11-alternate-ports, and while another address holds every connection the server
serves. Runs in a network namespace of its own; exits 77 (skipped) where no namespace can be
made."""
import socket
import struct
import sys
import unittest

import network_namespace

network_namespace.enter()

from onc_rpc import CORE, PORT_MAPPER, RpcConnection, call, opaque, results  # noqa: E402
from scpi_serve import Server  # noqa: E402

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)

CREATE_LINK, DEVICE_WRITE, DEVICE_READ, DESTROY_LINK = 10, 11, 12, 23
END = 8
AMPLITUDE_HINT = ("the scope asks 2 Vpp; the Tavero gives at most 1 Vpp: set the Bode plot's "
                  "amplitude to 1 Vpp or less")
SET_UP = "C1:OUTP LOAD,50;BSWV WVTP,SINE,PHSE,0,FRQ,15000,AMP,2,OFST,0;OUTP ON"
# Sweep points as the scope writes them, and the output frequency in 0.01 Hz each is set to:
# off the 0.25 Hz grid they go to the nearest grid point.
SWEEP = [("10", 1000), ("100.1", 10000), ("1234.567", 123450), ("15000.13", 1500025),
         ("2999999.99", 300000000), ("30000000", 3000000000)]


class Link:
    """One link the way the scope makes it: the port asked of the port mapper over UDP, then
    a TCP connection of its own."""

    def __init__(self, xid):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as mapper:
            mapper.settimeout(10)
            mapper.sendto(call(xid, PORT_MAPPER, 3, struct.pack(">4I", CORE, 1, 6, 0)),
                          ("127.0.0.1", 111))
            self.port = struct.unpack(">I", results(mapper.recv(400), xid))[0]
        self.connection = RpcConnection("127.0.0.1", self.port, xid)
        error, self.id = struct.unpack(
            ">2I", self.rpc(CREATE_LINK, struct.pack(">3I", 0, 0, 0) + opaque(b"inst0"))[:8])
        assert error == 0, error

    def rpc(self, procedure, arguments):
        return self.connection.call(CORE, procedure, arguments)

    def close(self):
        assert struct.unpack(">I", self.rpc(DESTROY_LINK, struct.pack(">I", self.id)))[0] == 0
        self.connection.close()


def scope_sends(xid, command):
    """One command on a link of its own; the answer of a query."""
    link = Link(xid)
    try:
        written = link.rpc(DEVICE_WRITE,
                           struct.pack(">4I", link.id, 1000, 0, END) + opaque(command.encode()))
        assert struct.unpack(">2I", written[:8]) == (0, len(command)), written
        if not command.endswith("?"):
            return link.port, None
        read = link.rpc(DEVICE_READ, struct.pack(">6I", link.id, 4096, 1000, 0, 0, 0))
        error, _reason, size = struct.unpack(">3I", read[:12])
        assert error == 0, error
        return link.port, read[12:12 + size].decode()
    finally:
        link.close()


def frequency_frame(centi_hz):
    return "f " + " ".join("%02X" % byte for byte in struct.pack(">I", centi_hz))


class BodePlotOfASiglentScope(unittest.TestCase):
    def test_replayed_session_sets_each_point_and_hints_once(self):
        for options, core_ports in [((), 1), (("--vxi11-alternate-ports",), 2)]:
            with self.subTest(options=options):
                server = Server(SIM, CTL, options=options)
                try:
                    self.assertEqual(self.replay(server, core_ports),
                                     ["tavero-ctl: " + AMPLITUDE_HINT])
                finally:
                    # Ended before the next server, which needs port 111.
                    server.close()

    def test_runs_while_another_address_holds_every_connection(self):
        server = Server(SIM, CTL)
        self.addCleanup(server.close)
        crowd = []
        for _ in range(256):
            idle = socket.create_connection(("127.0.0.1", server.port), timeout=10,
                                            source_address=("127.0.0.2", 0))
            crowd.append(idle)
            self.addCleanup(idle.close)
        # The crowd fills the server: a query on the last of them is answered.
        crowd[-1].sendall(b"*OPC?\n")
        self.assertEqual(crowd[-1].recv(16), b"1\n")
        # Each link of the scope takes the place of an idle one of the crowd; one line says so.
        self.assertEqual(self.replay(server, 1), [
            "tavero-ctl: 256 clients are connected: closed the longest idle connection of "
            "127.0.0.2 to serve 127.0.0.1", "tavero-ctl: " + AMPLITUDE_HINT])

    def replay(self, server, core_ports):
        """Replays the scope's session; the lines the server wrote on standard error."""
        self.assertEqual(server.sim.events(3), ["port opened", "x 01", "P"])
        xid = 1000
        ports = []

        def send(command):
            nonlocal xid
            xid += 100
            port, answer = scope_sends(xid, command)
            ports.append(port)
            return answer

        self.assertEqual(send("IDN-SGLT-PRI?"), "IDN-SGLT-PRI SDG Tavero\n")
        # The amplitude of 2 Vpp is refused; the frequency and waveform are sent.
        send(SET_UP)
        self.assertEqual(server.sim.events(2), [frequency_frame(1500000), "s 00"])
        wave = send("C1:BSWV?")
        self.assertTrue(wave.startswith("C1:BSWV WVTP,SINE,FRQ,15000HZ,AMP,"), wave)
        for point, centi_hz in SWEEP:
            send("C1:BSWV FRQ," + point)
            self.assertEqual(server.sim.events(1), [frequency_frame(centi_hz)], point)
        # A second run of the plot sets up again; then a raw client's amplitude shows that
        # nothing else reached the generator.
        send(SET_UP)
        self.assertEqual(server.sim.events(2), [frequency_frame(1500000), "s 00"])
        with socket.create_connection(("127.0.0.1", server.port), timeout=10) as raw:
            raw.sendall(b"VOLT 0.3;*OPC?\n")
            self.assertEqual(raw.makefile().readline(), "1\n")
        self.assertEqual(server.sim.events(1), ["g 01 2C"])

        self.assertEqual(len(set(ports)), core_ports, ports)
        if core_ports == 2:
            self.assertTrue(all(a != b for a, b in zip(ports, ports[1:])), ports)
        status, errors = server.stop()
        self.assertEqual(status, 0, errors)
        return errors.splitlines()


if __name__ == "__main__":
    unittest.main()

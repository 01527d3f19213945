# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve against tavero-sim, driven over VXI-11 by lxi-tools (libtirpc) and PyVISA's
pyvisa-py, with the server's own port mapper on port 111; device_abort over raw RPC, and IPv4 and
IPv6 clients of a server on [::]. Runs in a network namespace of its own, where loopback is the
only interface and port 111 is free; exits 77 (skipped) where no namespace can be made."""
import http.client
import select
import socket
import struct
import subprocess
import sys
import time
import unittest

import network_namespace

network_namespace.enter()

import pyvisa  # noqa: E402

from onc_rpc import ABORT, CORE, PORT_MAPPER, RpcConnection, call, opaque  # noqa: E402
from scpi_serve import Server  # noqa: E402

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)
NOT_FOUND = "VXI-11 clients will not find this instrument"
CREATE_LINK, DEVICE_LOCK, DEVICE_ABORT, GETPORT = 10, 18, 1, 3
WAIT_LOCK = 1


def create_link(connection, lock=False):
    """A link of its own on the core channel `connection`: its id and the abort channel's
    port."""
    results = connection.call(CORE, CREATE_LINK,
                              struct.pack(">3I", 0, int(lock), 0) + opaque(b"inst0"))
    error, link, abort_port = struct.unpack(">3I", results[:12])
    assert error == 0, error
    return link, abort_port


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

    def test_a_second_server_says_the_port_mapper_is_the_first_ones_not_rpcbind(self):
        first = self.start()
        second = self.start()
        errors = self.stop(second)
        unfound = [line for line in errors.splitlines() if NOT_FOUND in line]
        self.assertEqual(len(unfound), 1, errors)
        self.assertIn("the port mapper on port 111 is not rpcbind", unfound[0])
        self.assertNotIn(NOT_FOUND, self.stop(first))

    def test_device_abort_ends_a_lock_wait_with_error_23(self):
        server = self.start()
        core_port = self.core_port("127.0.0.1")
        holder, waiter = RpcConnection("127.0.0.1", core_port), RpcConnection("127.0.0.1", core_port)
        self.addCleanup(holder.close)
        self.addCleanup(waiter.close)
        create_link(holder, lock=True)
        link, abort_port = create_link(waiter)
        # Waits up to 3 s for the lock the other link holds; without the abort, error 11.
        waiter.send(CORE, DEVICE_LOCK, struct.pack(">3I", link, WAIT_LOCK, 3000))
        aborter = RpcConnection("127.0.0.1", abort_port)
        self.addCleanup(aborter.close)
        # An abort that overtakes the call aborts nothing; the client cannot see when the server
        # has taken it, so it aborts again until the call ends, as a VISA library would.
        answered = []
        while not answered:
            sent = time.monotonic()
            self.assertEqual(struct.unpack(">I", aborter.call(ABORT, DEVICE_ABORT,
                                                              struct.pack(">I", link)))[0], 0)
            answered = select.select([waiter.socket], [], [], 0.5)[0]
        self.assertEqual(struct.unpack(">I", waiter.reply()[:4])[0], 23)
        print(f"device_abort ended the lock wait {1000 * (time.monotonic() - sent):.1f} ms after "
              "it was sent")
        self.assertNotIn(NOT_FOUND, self.stop(server))

    def test_listening_on_both_protocols_serves_ipv4_and_ipv6_on_every_port(self):
        server = Server(SIM, CTL, host="::", options=["--http", "0"])
        self.addCleanup(server.close)
        self.assertEqual(server.listening,
                         f"Listening on 127.0.0.1:{server.port} and [::1]:{server.port}")
        page = server.process.stdout.readline().strip()
        http_port = int(page.rstrip("/").rsplit(":", 1)[1])
        self.assertEqual(page, f"Front panel on http://127.0.0.1:{http_port}/ and "
                               f"http://[::1]:{http_port}/")
        linking = RpcConnection("127.0.0.1", self.core_port("127.0.0.1"))
        self.addCleanup(linking.close)
        _, abort_port = create_link(linking)
        getport = call(7, PORT_MAPPER, GETPORT, struct.pack(">4I", CORE, 1, 6, 0))
        for address, family in [("127.0.0.1", socket.AF_INET), ("::1", socket.AF_INET6)]:
            with self.subTest(address=address):
                with socket.create_connection((address, server.port), timeout=30) as raw:
                    raw.sendall(b"*IDN?\n")
                    self.assertEqual(raw.makefile().readline(), "Tavero,Tavero,0,1.20-1.2.0\n")
                self.assertGreater(self.core_port(address), 0)
                for port, program in [(self.core_port(address), CORE), (abort_port, ABORT),
                                      (111, PORT_MAPPER)]:
                    client = RpcConnection(address, port)
                    self.assertEqual(client.call(program, 0), b"")
                    client.close()
                with socket.socket(family, socket.SOCK_DGRAM) as mapper:
                    mapper.settimeout(10)
                    mapper.sendto(getport, (address, 111))
                    self.assertEqual(mapper.recv(100)[24:], struct.pack(">I",
                                                                        self.core_port(address)))
                browser = http.client.HTTPConnection(address, http_port, timeout=30)
                browser.request("GET", "/lxi/identification")
                self.assertEqual(browser.getresponse().status, 200)
                browser.close()
        self.assertEqual(self.stop(server).count("[::] opens the generator"), 1)

    def core_port(self, address):
        """The core channel's port, as the port mapper on `address` names it over TCP."""
        mapper = RpcConnection(address, 111)
        port = struct.unpack(">I", mapper.call(PORT_MAPPER, GETPORT,
                                               struct.pack(">4I", CORE, 1, 6, 0)))[0]
        mapper.close()
        return port


if __name__ == "__main__":
    unittest.main()

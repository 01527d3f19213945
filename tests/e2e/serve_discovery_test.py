# SPDX-License-Identifier: GPL-3.0-or-later
"""How clients nobody here wrote find tavero-ctl serve on a network: lxi-tools' VXI-11 broadcast,
also through a real rpcbind that a killed server left a registration in, and with --announce
multicast DNS through a real Avahi daemon, browsed with avahi-browse and lxi-tools. Runs in network and mount namespaces of its own, on a veth pair that only this test
sees, with a D-Bus system bus and an Avahi daemon of its own; exits 77 (skipped) where no such
namespace can be made."""
import os
import socket
import struct
import subprocess
import sys
import tempfile
import unittest
from unittest import mock

import network_namespace

network_namespace.enter(mount=True)

ADDRESS = "10.77.0.1"
BROADCAST = "10.77.0.255"
for command in (["ip", "link", "add", "v0", "type", "veth", "peer", "name", "v1"],
                ["ip", "addr", "add", ADDRESS + "/24", "dev", "v0"],
                ["ip", "link", "set", "v0", "up"], ["ip", "link", "set", "v1", "up"],
                # Avahi's pid file and socket, apart from any daemon of the machine's own.
                ["mount", "-t", "tmpfs", "tmpfs", "/run"], ["mkdir", "/run/avahi-daemon"]):
    subprocess.run(command, check=True)

from scpi_serve import Server  # noqa: E402

SIM, CTL = sys.argv.pop(1), sys.argv.pop(1)
IDENTITY = "Tavero,Tavero,0,1.20-1.2.0"
NAME = "Tavero on " + socket.gethostname()
NOTHING_ANNOUNCED = "--announce: nothing announced"
NOT_FOUND = "VXI-11 clients will not find this instrument"
OPEN_TO_NETWORK = "opens the generator to the network"
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path={path}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/>
<allow receive_sender="*"/></policy></busconfig>
"""


class SystemBus:
    """A D-Bus system bus of the test's own, optionally with an Avahi daemon on v0 only."""

    def __init__(self, folder, with_avahi):
        self.address = "unix:path=" + os.path.join(folder, "bus")
        config = os.path.join(folder, "bus.conf")
        with open(config, "w", encoding="ascii") as file:
            file.write(BUS_CONFIG.format(path=os.path.join(folder, "bus")))
        self.processes = [subprocess.Popen(
            ["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)]
        self.processes[0].stdout.readline()  # the bus is ready once it names its address
        if with_avahi:
            avahi_config = os.path.join(folder, "avahi.conf")
            with open(avahi_config, "w", encoding="ascii") as file:
                file.write("[server]\nuse-ipv6=no\nallow-interfaces=v0\nenable-dbus=yes\n")
            daemon = subprocess.Popen(
                ["avahi-daemon", "--no-chroot", "--no-drop-root", "-f", avahi_config],
                stderr=subprocess.PIPE, text=True,
                env=dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address))
            self.processes.append(daemon)
            for line in daemon.stderr:
                if line.startswith("Server startup complete"):
                    break

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            process.communicate()


class Browser:
    """avahi-browse on the test's bus, resolving every service it sees until stopped."""

    def __init__(self, bus):
        self.process = subprocess.Popen(["avahi-browse", "-arp"], stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True,
                                        env=dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=bus.address))

    def resolved(self, count):
        """The next `count` resolved services as (name, type, address, port, TXT)."""
        found = []
        for line in self.process.stdout:
            fields = line.rstrip("\n").split(";")
            if fields[0] == "=":
                name = fields[3].replace("\\032", " ").replace("\\035", "#")
                found.append((name, fields[4], fields[7], int(fields[8]), fields[9]))
                if len(found) == count:
                    break
        return sorted(found)

    def close(self):
        self.process.terminate()
        self.process.communicate()


class Discovery(unittest.TestCase):
    def start(self, host=ADDRESS, options=()):
        server = Server(SIM, CTL, host=host, options=options)
        self.addCleanup(server.close)
        self.assertTrue(server.listening.startswith("Listening on "), server.listening)
        return server

    def stop(self, server):
        status, errors = server.stop()
        self.assertEqual(status, 0, errors)
        return errors.splitlines()

    def bus(self, with_avahi):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        bus = SystemBus(folder.name, with_avahi)
        self.addCleanup(bus.close)
        patch = mock.patch.dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=bus.address)
        patch.start()
        self.addCleanup(patch.stop)
        return bus

    def test_lxi_discover_finds_it_by_broadcast_and_it_warns_that_it_is_open(self):
        # Port mapper version 2 GETPORT of the VXI-11 core program over TCP, as discovery sends.
        getport = struct.pack(">14I", 0x5444, 0, 2, 100000, 2, 3, 0, 0, 0, 0, 0x0607AF, 1, 6, 0)
        for host in [ADDRESS, "0.0.0.0", "::"]:
            with self.subTest(host=host):
                server = self.start(host)
                with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
                    probe.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
                    probe.settimeout(10)
                    probe.sendto(getport, (BROADCAST, 111))
                    reply, sender = probe.recvfrom(64)
                self.assertEqual(sender[0], ADDRESS)
                xid, _, accepted, _, _, status, core = struct.unpack(">7I", reply)
                self.assertEqual((xid, accepted, status), (0x5444, 0, 0))
                socket.create_connection((ADDRESS, core), timeout=5).close()
                result = subprocess.run(["lxi", "discover", "-t", "2"], capture_output=True,
                                        text=True, timeout=30)
                self.assertIn(f'Found "{IDENTITY}" on address {ADDRESS}', result.stdout)
                warnings = [line for line in self.stop(server) if OPEN_TO_NETWORK in line]
                self.assertEqual(len(warnings), 1, warnings)
                self.assertIn(f"raw SCPI on port {server.port}", warnings[0])
                self.assertIn("port mapper on port 111", warnings[0])

    def test_announces_lxi_vxi11_and_raw_scpi_by_multicast_dns(self):
        bus = self.bus(with_avahi=True)
        browser = Browser(bus)
        self.addCleanup(browser.close)
        first = self.start(options=["--announce"])
        text = ('"FirmwareVersion=1.20-1.2.0" "SerialNumber=0" "Model=Tavero" '
                '"Manufacturer=Tavero" "txtvers=1"')
        self.assertEqual(browser.resolved(3), [
            (NAME, "_lxi._tcp", ADDRESS, 111, text),
            (NAME, "_scpi-raw._tcp", ADDRESS, first.port, text),
            (NAME, "_vxi-11._tcp", ADDRESS, 111, text),
        ])
        result = subprocess.run(["lxi", "discover", "-m", "-t", "2"], capture_output=True,
                                text=True, timeout=30)
        for service, port in [("lxi", 111), ("vxi-11", 111), ("scpi-raw", first.port)]:
            self.assertIn(f"{service} service on port {port}", result.stdout)

        # A second instrument of the same name on the network is announced under the next one;
        # without the port mapper, which the first holds, only its raw socket is announced.
        second = self.start(options=["--announce"])
        self.assertEqual(browser.resolved(1),
                         [(NAME + " #2", "_scpi-raw._tcp", ADDRESS, second.port, text)])
        renamed = [line for line in self.stop(second) if "announced as" in line]
        self.assertEqual(len(renamed), 1, renamed)
        self.assertIn(f"'{NAME} #2'", renamed[0])
        self.assertFalse([line for line in self.stop(first) if NOTHING_ANNOUNCED in line])

    def test_a_killed_servers_rpcbind_entry_is_replaced_at_the_next_start(self):
        subprocess.run(["rpcbind"], check=True)  # bound to port 111 once it returns
        listed = subprocess.run(["ss", "-Hltnp", "sport = :111"], capture_output=True, text=True,
                                check=True).stdout
        rpcbind = int(listed.split("pid=", 1)[1].split(",", 1)[0])
        self.addCleanup(os.kill, rpcbind, 15)

        def registered():
            """The port rpcinfo -p names for VXI-11, or None."""
            result = subprocess.run(["rpcinfo", "-p", "127.0.0.1"], capture_output=True,
                                    text=True, check=True)
            ports = [int(row.split()[3]) for row in result.stdout.splitlines()
                     if row.split()[:3] == ["395183", "1", "tcp"]]
            return ports[0] if ports else None

        killed = self.start()
        stale = registered()
        self.assertIsNotNone(stale)
        killed.process.kill()
        killed.process.wait()
        self.assertEqual(registered(), stale)

        server = self.start()
        found = registered()
        self.assertNotEqual(found, stale)
        socket.create_connection((ADDRESS, found), timeout=5).close()
        result = subprocess.run(["lxi", "discover", "-t", "2"], capture_output=True, text=True,
                                timeout=30)
        self.assertIn(f'Found "{IDENTITY}" on address {ADDRESS}', result.stdout)

        # A third server while this one runs: rpcbind's entry is live, and its holder named.
        third = self.start()
        unfound = [line for line in self.stop(third) if NOT_FOUND in line]
        self.assertEqual(len(unfound), 1, unfound)
        self.assertIn(f"where tavero-ctl (pid {server.process.pid}) listens", unfound[0])
        self.assertIn("'rpcinfo -d 395183 1'", unfound[0])

        replaced = [line for line in self.stop(server) if "registered port" in line]
        self.assertEqual(replaced, [f"tavero-ctl: rpcbind named port {stale} for VXI-11, where "
                                    "nothing listens any more (a server that ended without "
                                    f"taking it back): registered port {found} instead"])
        self.assertIsNone(registered())

    def test_says_in_one_line_why_nothing_is_announced_and_serves_on(self):
        cases = [  # listen host, a bus and whether Avahi runs on it, the reason given
            (ADDRESS, None, "no D-Bus system bus"),
            (ADDRESS, False, "the Avahi daemon is not running (Debian package avahi-daemon)"),
            ("127.0.0.1", True, "127.0.0.1 cannot be reached from other computers"),
        ]
        for host, with_avahi, reason in cases:
            with self.subTest(reason=reason):
                if with_avahi is None:
                    patch = mock.patch.dict(os.environ,
                                            DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent")
                    patch.start()
                    self.addCleanup(patch.stop)
                else:
                    self.bus(with_avahi)
                server = self.start(host, ["--announce"])
                with socket.create_connection((host, server.port), timeout=5) as raw:
                    raw.sendall(b"*IDN?\n")
                    self.assertEqual(raw.makefile().readline(), IDENTITY + "\n")
                errors = self.stop(server)
                lines = [line for line in errors if NOTHING_ANNOUNCED in line]
                self.assertEqual(len(lines), 1, errors)
                self.assertIn(reason, lines[0])
                self.assertEqual(any(OPEN_TO_NETWORK in line for line in errors),
                                 host != "127.0.0.1")


if __name__ == "__main__":
    unittest.main()

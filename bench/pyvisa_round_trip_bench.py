# SPDX-License-Identifier: GPL-3.0-or-later
"""A stock PyVISA script's set-then-query (`FREQ x`, then `FREQ?`) through tavero-ctl serve against
tavero-sim: over the raw socket with PyVISA's defaults (no TCP_NODELAY, so the client's Nagle
holds the query until the command is acknowledged), against the same over VXI-11 (INSTR), whose
calls wait for their replies anyway; aim at most 1.2 x. The raw socket with TCP_NODELAY set by
the client is shown beside them. Also how long device_abort takes to end a link's wait for the
lock. Runs in a network namespace of its own, where the server answers port 111 (as root):

    python3 bench/pyvisa_round_trip_bench.py build/release/tools/tavero-sim build/release/tools/tavero-ctl
"""
import os
import select
import socket
import statistics
import struct
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import network_namespace  # noqa: E402

network_namespace.enter()

import pyvisa  # noqa: E402

from onc_rpc import ABORT, CORE, PORT_MAPPER, RpcConnection, opaque  # noqa: E402
from scpi_serve import Server  # noqa: E402

ROUNDS = 200


def set_then_query(resource, rounds):
    """The median time of one `FREQ x` then `FREQ?`, in ms."""
    times = []
    for round_number in range(rounds):
        frequency = 1000 + 0.25 * (round_number % 400)
        started = time.perf_counter()
        resource.write(f"FREQ {frequency}")
        answer = resource.query("FREQ?")
        times.append(time.perf_counter() - started)
        assert float(answer) == frequency, answer
    return 1000 * statistics.median(times)


def abort_latency():
    """ms from the device_abort that ends a link's 3 s wait for the lock to the wait's reply."""
    mapper = RpcConnection("127.0.0.1", 111)
    core_port = struct.unpack(">I", mapper.call(PORT_MAPPER, 3,
                                                struct.pack(">4I", CORE, 1, 6, 0))[:4])[0]
    holder, waiter = RpcConnection("127.0.0.1", core_port), RpcConnection("127.0.0.1", core_port)
    holder.call(CORE, 10, struct.pack(">3I", 0, 1, 0) + opaque(b"inst0"))
    link, abort_port = struct.unpack(
        ">2I", waiter.call(CORE, 10, struct.pack(">3I", 0, 0, 0) + opaque(b"inst0"))[4:12])
    waiter.send(CORE, 18, struct.pack(">3I", link, 1, 3000))  # device_lock, waiting up to 3 s
    aborter = RpcConnection("127.0.0.1", abort_port)
    # An abort that overtakes the call aborts nothing: sent again until the call has ended.
    answered = []
    while not answered:
        sent = time.perf_counter()
        aborter.call(ABORT, 1, struct.pack(">I", link))
        answered = select.select([waiter.socket], [], [], 0.5)[0]
    error = struct.unpack(">I", waiter.reply()[:4])[0]
    latency = 1000 * (time.perf_counter() - sent)
    for connection in (mapper, holder, waiter, aborter):
        connection.close()
    assert error == 23, error
    return latency


def main(sim_path, ctl_path):
    server = Server(os.path.abspath(sim_path), os.path.abspath(ctl_path))
    resources = pyvisa.ResourceManager("@py")
    try:
        server.sim.events(3)
        options = {"read_termination": "\n", "write_termination": "\n", "timeout": 10000}
        raw = resources.open_resource(f"TCPIP::127.0.0.1::{server.port}::SOCKET", **options)
        instr = resources.open_resource("TCPIP::127.0.0.1::INSTR", **options)
        nodelay = resources.open_resource(f"TCPIP::127.0.0.1::{server.port}::SOCKET", **options)
        # pyvisa-py takes no VI_ATTR_TCPIP_NODELAY on a SOCKET resource: set on its socket.
        nodelay.visalib.sessions[nodelay.session].interface.setsockopt(
            socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        socket_ms = set_then_query(raw, ROUNDS)
        instr_ms = set_then_query(instr, ROUNDS)
        nodelay_ms = set_then_query(nodelay, ROUNDS)
        aborts = [abort_latency() for _ in range(20)]
        print(f"FREQ x, then FREQ? (median of {ROUNDS}):")
        print(f"  raw socket, PyVISA's defaults (no TCP_NODELAY): {socket_ms:7.3f} ms")
        print(f"  VXI-11 (INSTR):                                 {instr_ms:7.3f} ms")
        print(f"  raw socket with TCP_NODELAY:                    {nodelay_ms:7.3f} ms")
        print(f"  ratio raw socket (defaults) / INSTR: {socket_ms / instr_ms:.2f} (aim <= 1.2)")
        print(f"device_abort to the end of a 3 s lock wait (median of {len(aborts)}): "
              f"{statistics.median(aborts):.1f} ms, at most {max(aborts):.1f} ms (aim <= 100 ms)")
        for resource in (raw, instr, nodelay):
            resource.close()
    finally:
        resources.close()
        server.close()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])

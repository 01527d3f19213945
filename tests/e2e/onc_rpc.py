# SPDX-License-Identifier: GPL-3.0-or-later
"""ONC RPC over TCP as VXI-11 clients speak it, for the tests that call the server's procedures
one by one."""
import socket
import struct

CORE, ABORT, PORT_MAPPER = 0x0607AF, 0x0607B0, 100000


def call(xid, program, procedure, arguments=b""):
    """A call record: version 2 of the port mapper, version 1 of the VXI-11 programs."""
    version = 2 if program == PORT_MAPPER else 1
    return struct.pack(">10I", xid, 0, 2, program, version, procedure, 0, 0, 0, 0) + arguments


def opaque(data):
    return struct.pack(">I", len(data)) + data + b"\0" * (-len(data) % 4)


def results(reply, xid):
    """The words after an accepted, successful reply's header."""
    words = struct.unpack(">6I", reply[:24])
    assert words[:3] == (xid, 1, 0) and words[5] == 0, words
    return reply[24:]


class RpcConnection:
    """Calls over one TCP connection, each record in one fragment, with xids counted on from
    `xid`."""

    def __init__(self, address, port, xid=0, source=None):
        self.socket = socket.create_connection((address, port), timeout=30,
                                               source_address=source)
        self.xid = xid

    def send(self, program, procedure, arguments=b""):
        self.xid += 1
        record = call(self.xid, program, procedure, arguments)
        self.socket.sendall(struct.pack(">I", 0x80000000 | len(record)) + record)

    def reply(self):
        """The results of the reply to the call sent last."""
        data, last = b"", False
        while not last:
            mark = struct.unpack(">I", self.read(4))[0]
            last = mark & 0x80000000 != 0
            data += self.read(mark & 0x7FFFFFFF)
        return results(data, self.xid)

    def call(self, program, procedure, arguments=b""):
        self.send(program, procedure, arguments)
        return self.reply()

    def read(self, count):
        data = b""
        while len(data) < count:
            chunk = self.socket.recv(count - len(data))
            assert chunk, "the server closed the connection"
            data += chunk
        return data

    def close(self):
        self.socket.close()

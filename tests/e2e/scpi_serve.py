# SPDX-License-Identifier: GPL-3.0-or-later
"""tavero-ctl serve on tavero-sim's pseudo-terminal, for the tests that drive it with clients
nobody here wrote."""
import os
import subprocess
import tempfile


class Simulator:
    """tavero-sim on a pseudo-terminal, its logged events read one by one."""

    def __init__(self, path, pace=False):
        self.process = subprocess.Popen([path] + (["--pace"] if pace else []),
                                        stdout=subprocess.PIPE, text=True)
        self.path = self.process.stdout.readline().strip()

    def events(self, count):
        """The next `count` events without their time stamps, e.g. "f 00 01 86 A0"."""
        return [self.process.stdout.readline().strip().split(" ", 1)[1] for _ in range(count)]

    def stop(self):
        self.process.terminate()
        self.process.wait()
        self.process.stdout.close()


def query(client, line):
    """Sends a line on a socket and returns the line answered, without its LF."""
    client.sendall(line.encode() + b"\n")
    answer = b""
    while not answer.endswith(b"\n"):
        answer += client.recv(1)
    return answer.decode("ascii").rstrip("\n")


class Served:
    """A program serving on a port of the system's choosing, in a data folder of its own that is
    also its working folder and its home; `environment` is added to the process's."""

    def __init__(self, command, environment=()):
        self.folder = tempfile.TemporaryDirectory()
        environment = dict(os.environ, XDG_DATA_HOME=self.folder.name, HOME=self.folder.name,
                           **dict(environment))
        self.process = subprocess.Popen(
            command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
            cwd=self.folder.name, env=environment)
        self.listening = self.process.stdout.readline().strip()
        self.port = int(self.listening.rsplit(":", 1)[1]) if ":" in self.listening else 0

    def stop(self):
        """Ends the server with SIGTERM; its exit status and what it wrote on standard error."""
        self.process.terminate()
        _, errors = self.process.communicate()
        return self.process.returncode, errors

    def close(self):
        """Ends the server if it runs and removes the data folder."""
        if self.process.poll() is None:
            self.stop()
        self.folder.cleanup()


class Server(Served):
    """tavero-ctl serve on its own simulator, on `host`; `options` follow the address. With
    `pluggable` the server finds the simulator through a link, which plug() points at a new one."""

    def __init__(self, sim_path, ctl_path, pace=False, host="127.0.0.1", options=(),
                 pluggable=False):
        self.sim_path = sim_path
        self.sim = Simulator(sim_path, pace)
        self.link_folder = tempfile.TemporaryDirectory()
        self.link = os.path.join(self.link_folder.name, "generator")
        if pluggable:
            os.symlink(self.sim.path, self.link)
        listen = f"[{host}]:0" if ":" in host else f"{host}:0"
        super().__init__([ctl_path, "--port", self.link if pluggable else self.sim.path, "serve",
                          "--listen", listen, *options])

    def plug(self):
        """Stands for a generator plugged in again, where the one before was unplugged: a new
        simulator behind the server's link."""
        self.sim = Simulator(self.sim_path)
        replacement = self.link + ".new"
        os.symlink(self.sim.path, replacement)
        os.replace(replacement, self.link)

    def close(self):
        """Ends the server if it runs, then the simulator, and removes the data folder."""
        if self.process.poll() is None:
            self.stop()
        self.sim.stop()
        self.folder.cleanup()
        self.link_folder.cleanup()


class Window(Served):
    """The window, offscreen, on its built-in simulated generator or on the serial device `port`,
    serving as `tavero --serve` with `options` on loopback; it remembers its own settings in the
    data folder."""

    def __init__(self, tavero_path, options=(), port=None):
        self.config = tempfile.TemporaryDirectory()
        generator = ["--port", port] if port else ["--simulator"]
        super().__init__([tavero_path, *generator, "--serve", "--listen", "127.0.0.1:0",
                          *options],
                         {"QT_QPA_PLATFORM": "offscreen", "XDG_CONFIG_HOME": self.config.name})

    def close(self):
        super().close()
        self.config.cleanup()

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


class Server:
    """tavero-ctl serve on its own simulator, on a port of the system's choosing on `host`, with
    a data folder and a home of its own; `options` follow the address. With `pluggable` the
    server finds the simulator through a link, which plug() points at a new one."""

    def __init__(self, sim_path, ctl_path, pace=False, host="127.0.0.1", options=(),
                 pluggable=False):
        self.folder = tempfile.TemporaryDirectory()
        self.sim_path = sim_path
        self.sim = Simulator(sim_path, pace)
        self.link = os.path.join(self.folder.name, "generator")
        if pluggable:
            os.symlink(self.sim.path, self.link)
        environment = dict(os.environ, XDG_DATA_HOME=self.folder.name, HOME=self.folder.name)
        listen = f"[{host}]:0" if ":" in host else f"{host}:0"
        self.process = subprocess.Popen(
            [ctl_path, "--port", self.link if pluggable else self.sim.path, "serve", "--listen",
             listen, *options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, cwd=self.folder.name,
            env=environment)
        self.listening = self.process.stdout.readline().strip()
        self.port = int(self.listening.rsplit(":", 1)[1]) if ":" in self.listening else 0

    def plug(self):
        """Stands for a generator plugged in again, where the one before was unplugged: a new
        simulator behind the server's link."""
        self.sim = Simulator(self.sim_path)
        replacement = self.link + ".new"
        os.symlink(self.sim.path, replacement)
        os.replace(replacement, self.link)

    def stop(self):
        """Ends the server with SIGTERM; its exit status and what it wrote on standard error."""
        self.process.terminate()
        _, errors = self.process.communicate()
        return self.process.returncode, errors

    def close(self):
        """Ends the server if it runs, then the simulator, and removes the data folder."""
        if self.process.poll() is None:
            self.stop()
        self.sim.stop()
        self.folder.cleanup()

# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the calling test again in a network namespace of its own, where loopback is the only
interface and port 111 is free, and with `mount` in a mount namespace too; exits 77 (skipped)
with the reason where none can be made."""
import os
import subprocess
import sys

SKIPPED = 77


def enter(mount=False):
    """Returns inside the namespace with loopback up; outside it, exits with the test's status."""
    if os.environ.get("TAVERO_NETNS") != "1":
        unshare = ["unshare", "-mn" if mount else "-n"]
        probe = subprocess.run(unshare + ["true"], capture_output=True, text=True)
        if probe.returncode != 0:
            print(f"skipped: no namespace can be made here ({' '.join(unshare)} needs root or "
                  "user namespaces): " + probe.stderr.strip())
            sys.exit(SKIPPED)
        environment = dict(os.environ, TAVERO_NETNS="1")
        sys.exit(subprocess.run(unshare + [sys.executable] + sys.argv,
                                env=environment).returncode)
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)

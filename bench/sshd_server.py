#!/usr/bin/python3
"""Runs the test fixture's OpenSSH server (ftp_fixture_debian, kind openssh) over a root for a benchmark.

Usage: sshd_server.py ROOT [LISTEN_ADDRESS]
Fills ROOT with the fixture's tree, starts sshd on a free port and prints
"<port> <host key SHA-256 in hex>", then sleeps: sshd dies with this process.
Its client keys are in ROOT.work/keys (see ftp_fixture_debian.start_openssh).
"""
import base64
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixture"))
import ftp_fixture_debian  # noqa: E402

root = sys.argv[1]
behind = (sys.argv[2], None, []) if len(sys.argv) > 2 else None
port, _ = ftp_fixture_debian.start("openssh", root, behind=behind)
# The key the client negotiates: ECDSA, as it prefers it to Ed25519.
line = subprocess.run(["ssh-keygen", "-l", "-E", "sha256", "-f", root + ".work/host_ecdsa.pub"],
                      check=True, capture_output=True, text=True).stdout
digest = line.split()[1][len("SHA256:"):]
print(port, base64.b64decode(digest + "=" * (-len(digest) % 4)).hex().upper(), flush=True)
while True:
    time.sleep(3600)

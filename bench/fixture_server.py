#!/usr/bin/python3
"""Asks the test environment's fixture daemon for a server and holds it for a benchmark.

Usage: fixture_server.py PORT_FILE KIND [proxy] [FAULT...]
PORT_FILE is the daemon's (build/x86_64/testenv/ftp-fixture.port). Prints the
daemon's answer ("ok <address> <port> <root>"), sets each FAULT on the fault
proxy ("delay 25"), then sleeps: the server lives as long as this process.
"""
import socket
import sys
import time

port_file, kind = sys.argv[1], sys.argv[2]
proxy = len(sys.argv) > 3 and sys.argv[3] == "proxy"
faults = sys.argv[4:] if proxy else []
with open(port_file) as text:
    daemon = socket.create_connection(("127.0.0.1", int(text.read().strip())))
reader = daemon.makefile("r")
daemon.sendall(("start %s%s\n" % (kind, " proxy" if proxy else " anyport")).encode())
answer = reader.readline().strip()
for fault in faults:
    daemon.sendall(("fault %s\n" % fault).encode())
    if reader.readline().strip() != "ok":
        answer = "error the proxy refused " + fault
print(answer, flush=True)
while True:
    time.sleep(3600)

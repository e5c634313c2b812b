#!/usr/bin/python3
"""Serves a sample tree over FTP on port 21 of the first free loopback address 127.0.0.N."""
import argparse
import logging
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixture"))
import ftp_fixture_daemon  # noqa: E402
import ftp_fixture_servers  # noqa: E402

SAMPLES = {
    "readme.txt": "WyFTP demo server.\n",
    "pub/表.txt": "表計算のサンプル\n",
    "pub/ソフト.txt": "ソフトウェアの説明\n",
    "pub/data.bin": bytes(range(256)) * 4096,
    "pub/docs/guide.txt": "Connect with ServerName set to this server's address.\n",
}


def populate(root):
    for name, content in SAMPLES.items():
        path = os.path.join(root, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        data = content if isinstance(content, bytes) else content.encode("utf-8")
        with open(path, "wb") as sample:
            sample.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--seconds", type=float, default=None, help="stop after this many seconds")
    args = parser.parse_args()
    logging.basicConfig(level=logging.WARNING)
    _, address, listener = ftp_fixture_daemon.bind_free_address(ftp_fixture_daemon.FIRST_HOST)
    with tempfile.TemporaryDirectory(prefix="wyftp-demo-") as root:
        populate(root)
        server = ftp_fixture_servers.make_server("normal", listener, root)
        print("WyFTP demo FTP server on %s port 21, serving %s" % (address, root))
        print("  anonymous login, or user %s / password %s" % (ftp_fixture_servers.USER, ftp_fixture_servers.PASSWORD))
        print("  files: " + ", ".join(sorted(SAMPLES)))
        print("  try:   curl ftp://%s/pub/" % address)
        sys.stdout.flush()
        if args.seconds is not None:
            server.ioloop.call_later(args.seconds, server.close_all)
        server.serve_forever()


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Serves a sample tree (or a given directory) over FTP on port 21 of the first free loopback address 127.0.0.N."""
import argparse
import logging
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixture"))
import ftp_fixture_daemon  # noqa: E402
import ftp_fixture_servers  # noqa: E402


def sized(size, seed):
    """Filler content of an exact size, so the explorer's size column has something to show."""
    return bytes((seed + i * 7) % 256 for i in range(size))


# name: (content, last write time as "YYYY-MM-DD HH:MM"). pub/資料 is the
# directory the demo ends in: files of different sizes and dates, and
# subdirectories that have subdirectories of their own.
SAMPLES = {
    "readme.txt": ("WyFTP demo server.\n", "2024-04-01 09:00"),
    "pub/表.txt": ("表計算のサンプル\n", "2024-03-15 10:20"),
    "pub/ソフト.txt": ("ソフトウェアの説明\n", "2024-03-16 11:05"),
    "pub/data.bin": (bytes(range(256)) * 4096, "2024-02-01 08:30"),
    "pub/docs/guide.txt": ("Connect with ServerName set to this server's address.\n", "2024-01-10 14:00"),
    "pub/資料/報告書.txt": ("月次報告\n" * 2000, "2024-05-31 17:45"),
    "pub/資料/議事録.txt": ("定例会議の議事録\n" * 300, "2024-06-03 12:10"),
    "pub/資料/予算表.csv": (sized(48 * 1024, 1), "2024-04-12 09:30"),
    "pub/資料/写真.jpg": (sized(730 * 1024, 2), "2023-11-23 15:00"),
    "pub/資料/説明書.pdf": (sized(1536 * 1024, 3), "2024-02-20 13:25"),
    "pub/資料/ソフト一覧.xls": (sized(96 * 1024, 4), "2024-06-10 10:00"),
    "pub/資料/2023年度/上期/売上.csv": (sized(20 * 1024, 5), "2023-09-30 18:00"),
    "pub/資料/2023年度/下期/売上.csv": (sized(22 * 1024, 6), "2024-03-31 18:00"),
    "pub/資料/2024年度/上期/売上.csv": (sized(18 * 1024, 7), "2024-06-28 18:00"),
    "pub/資料/2024年度/計画.txt": ("今年度の計画\n", "2024-04-01 09:00"),
    "pub/資料/画像/ロゴ.png": (sized(12 * 1024, 8), "2023-08-08 08:08"),
}


def populate(root):
    for name, (content, written) in SAMPLES.items():
        path = os.path.join(root, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        data = content if isinstance(content, bytes) else content.encode("utf-8")
        with open(path, "wb") as sample:
            sample.write(data)
        stamp = time.mktime(time.strptime(written, "%Y-%m-%d %H:%M"))
        os.utime(path, (stamp, stamp))
    # A directory dates from its newest entry, as if the files had just been put there.
    for directory, subdirectories, files in os.walk(root, topdown=False):
        entries = [os.path.join(directory, name) for name in subdirectories + files]
        if entries and directory != root:
            newest = max(os.path.getmtime(entry) for entry in entries)
            os.utime(directory, (newest, newest))


def stop_with(server, pid):
    """Closes the server once process pid is gone, so a demo killed outright leaves no server behind."""
    def check():
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            server.close_all()
    server.ioloop.call_every(1.0, check)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--seconds", type=float, default=None, help="stop after this many seconds")
    parser.add_argument("--while-pid", type=int, default=None, help="stop when this process has ended")
    parser.add_argument("--root", default=None,
                        help="serve this directory as it is (names in UTF-8 on disk) instead of the sample tree")
    args = parser.parse_args()
    logging.basicConfig(level=logging.WARNING)
    _, address, listener = ftp_fixture_daemon.bind_free_address(ftp_fixture_daemon.FIRST_HOST)
    with tempfile.TemporaryDirectory(prefix="wyftp-demo-") as samples:
        root = args.root or samples
        if not args.root:
            populate(root)
        server = ftp_fixture_servers.make_server("normal", listener, root)
        print("WyFTP demo FTP server on %s port 21, serving %s" % (address, root))
        print("  anonymous login, or user %s / password %s" % (ftp_fixture_servers.USER, ftp_fixture_servers.PASSWORD))
        if not args.root:
            folders = sorted({"/" + os.path.dirname(name) for name in SAMPLES})
            print("  %d sample files in %s" % (len(SAMPLES), ", ".join(folders)))
        print("  try:   curl ftp://%s/pub/" % address)
        sys.stdout.flush()
        if args.seconds is not None:
            server.ioloop.call_later(args.seconds, server.close_all)
        if args.while_pid is not None:
            stop_with(server, args.while_pid)
        # With no timeout the loop waits for the next connection before it
        # looks at its timers, so a demo nobody connects to would never stop.
        server.serve_forever(timeout=1.0)


if __name__ == "__main__":
    main()

"""Makes the listing benchmark's directories in a server root: many files, and a level of subdirectories.

Usage: listing_tree.py ROOT FILES_DIR FILES LEVELS_DIR SUBDIRS LOCAL_FILES_DIR [LOCAL_FILES [UTF8_ROOT]]
Prints the server path of one subdirectory of the level (an ASCII name).
LOCAL_FILES_DIR (outside the root) receives the same files (or the first
LOCAL_FILES of the same series, when given) with their names in UTF-8, so that Wine shows them to a Windows program as the same names
the server lists, read from the local disk. UTF8_ROOT, when given, receives
the root's files and level with their names in UTF-8, for a server that
keeps names in UTF-8 on disk and speaks Shift-JIS on the wire (pyftpdlib as
the test fixture runs it).

Names are varied (extensions, spaces, no extension) and one in three is
Japanese, written in Shift-JIS as a server the control talks to holds them
(bytes Linux accepts: Shift-JIS never uses "/" or NUL), some with trail byte
0x5C (表, ソ). Sizes run from empty to over 4 GiB as sparse files, so the
disk holds almost nothing; times spread over three years, so the listing
has both the recent "HH:MM" and the older year form.
"""
import os
import random
import sys
import time

FILE_NAMES = [
    "report-{:05d}.txt",
    "IMG_{:05d}.JPG",
    "data {:05d}.csv",
    "報告書_{:05d}.txt",
    "archive-{:05d}.tar.gz",
    "表計算{:05d}.xls",
    "notes.{:05d}.md",
    "ソース_{:05d}.cpp",
    "setup_{:05d}.exe",
    "ﾃﾞｰﾀ{:05d}.dat",
    "README-{:05d}",
    "画像 {:05d}.png",
]
SUBDIR_NAMES = ["dir-{:03d}", "dir-{:03d}", "dir-{:03d}", "フォルダ{:03d}", "dir-{:03d}"]
THREE_YEARS = 3 * 365 * 24 * 3600


def make_files(directory, count, encoding, now):
    # The same seed every time: both copies get the same sizes and times.
    rng = random.Random(932)
    os.makedirs(directory, mode=0o755)
    for i in range(1, count + 1):
        path = os.path.join(directory, FILE_NAMES[i % len(FILE_NAMES)].format(i).encode(encoding))
        if i % 50 == 0:
            size = 0
        elif i % 997 == 0:
            size = 5 * 1024 ** 3 + rng.randrange(1024 ** 3)
        else:
            size = int(10 ** rng.uniform(0, 9.3))
        descriptor = os.open(path, os.O_CREAT | os.O_WRONLY | os.O_EXCL, 0o644)
        try:
            os.ftruncate(descriptor, size)
        finally:
            os.close(descriptor)
        written = now - rng.uniform(0, THREE_YEARS)
        os.utime(path, (written, written))


def make_level(directory, count, encoding):
    os.makedirs(directory, mode=0o755)
    for i in range(1, count + 1):
        inner = os.path.join(directory, SUBDIR_NAMES[i % len(SUBDIR_NAMES)].format(i).encode(encoding), b"sub")
        os.makedirs(inner, mode=0o755)


def main():
    root, files_dir, files, levels_dir, subdirs, local_files_dir = sys.argv[1:7]
    local_files = sys.argv[7] if len(sys.argv) > 7 else files
    utf8_root = os.fsencode(sys.argv[8]) if len(sys.argv) > 8 else None
    os.umask(0o022)
    # Paths as bytes: the server's names are Shift-JIS, not the file system's encoding.
    root = os.fsencode(root)
    now = time.time()
    make_files(os.path.join(root, os.fsencode(files_dir)), int(files), "cp932", now)
    make_files(os.fsencode(local_files_dir), int(local_files), "utf-8", now)
    make_level(os.path.join(root, os.fsencode(levels_dir)), int(subdirs), "cp932")
    if utf8_root:
        make_files(os.path.join(utf8_root, os.fsencode(files_dir)), int(files), "utf-8", now)
        make_level(os.path.join(utf8_root, os.fsencode(levels_dir)), int(subdirs), "utf-8")
    print("/{}/{}".format(levels_dir, SUBDIR_NAMES[1].format(1)))


if __name__ == "__main__":
    main()

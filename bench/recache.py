#!/usr/bin/env python3
"""Puts the files of the given directories back into the page cache as if read from disk:
writes them out, drops their cached pages and reads them again.

    recache.py DIR...

How a file's pages sit in the cache depends on how they got there. A file just written
while memory was fragmented may be cached in single pages, which makes mapping it (qpeek maps
large message files) several times dearer than mapping the same file read from disk, which
the kernel may cache in large blocks (recent Linux kernels do); reading it with read(), as
cat does, costs about the same either way. Without this step the timings of qpeek vary from run to run with the state of
the machine's memory at the time the corpus was generated.
"""
import os
import sys


def main():
    os.sync()  # pages that are still to be written cannot be dropped
    for top in sys.argv[1:]:
        for dirpath, _, names in os.walk(top):
            for name in names:
                path = os.path.join(dirpath, name)
                fd = os.open(path, os.O_RDONLY)
                try:
                    os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
                    while os.read(fd, 1 << 20):
                        pass
                finally:
                    os.close(fd)


if __name__ == "__main__":
    main()

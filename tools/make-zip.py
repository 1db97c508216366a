#!/usr/bin/env python3
"""Writes a zip that is the same bytes on every run for the same files:
names sorted, one fixed timestamp, no owner or permission bits from the
machine that made it.

    make-zip.py OUT.zip FOLDER_IN_ZIP FILE...

The files go into FOLDER_IN_ZIP/ under their own names. The timestamp is
SOURCE_DATE_EPOCH when set (tools/package.sh sets the last commit's time),
else 1980-01-01."""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    out, folder, files = argv[1], argv[2], argv[3:]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "315532800"))
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    entries = sorted((os.path.basename(path), path) for path in files)
    partial = out + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, path in entries:
            info = zipfile.ZipInfo(folder + "/" + name, date_time=stamp)
            info.create_system = 0  # MS-DOS: no Unix mode bits
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows writes it
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(partial, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

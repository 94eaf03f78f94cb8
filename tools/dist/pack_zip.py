#!/usr/bin/python3
"""Packs a folder into a zip that depends on nothing but the folder's contents.

pack_zip.py ZIP FOLDER NAME EPOCH
  ZIP     the zip to write (replaced whole)
  FOLDER  what goes in it, under the one top folder NAME
  EPOCH   the time stamp of every entry (seconds since 1970, UTC)

Entries come in byte order of their paths, every one with the same time stamp
and plain attributes, names in UTF-8 (flagged as such), so that the same files
give the same bytes.
"""
import os
import sys
import time
import zipfile

DIRECTORY = 0x10  # MS-DOS attribute bits
ARCHIVE = 0x20


def entries(folder):
    found = []
    for parent, folders, files in os.walk(folder):
        relative = os.path.relpath(parent, folder)
        for name in folders:
            found.append((os.path.normpath(os.path.join(relative, name)), True))
        for name in files:
            found.append((os.path.normpath(os.path.join(relative, name)), False))
    return sorted(found, key=lambda entry: entry[0].encode("utf-8"))


def main(zip_path, folder, name, epoch):
    stamp = time.gmtime(max(int(epoch), 315532800))[:6]  # the format starts in 1980
    temporary = zip_path + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        top = zipfile.ZipInfo(name + "/", stamp)
        top.create_system = 0
        top.external_attr = DIRECTORY
        archive.writestr(top, b"")
        for relative, is_folder in entries(folder):
            path = name + "/" + relative.replace(os.sep, "/")
            if is_folder:
                info = zipfile.ZipInfo(path + "/", stamp)
                info.create_system = 0
                info.external_attr = DIRECTORY
                archive.writestr(info, b"")
                continue
            info = zipfile.ZipInfo(path, stamp)
            info.create_system = 0
            info.external_attr = ARCHIVE
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, relative), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(temporary, zip_path)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])

#!/usr/bin/python3
# Thumbnails of model files made as a GNOME desktop makes them, through gnome-desktop's
# DesktopThumbnailFactory: it finds the thumbnailer's entry for the file's type, runs the
# thumbnailer in its sandbox, and saves the picture in $XDG_CACHE_HOME/thumbnails/normal/ under
# the MD5 of the file's URI, where every freedesktop desktop looks for it.
#
# For each FILE:TYPE, checks that the file is of TYPE by the system's database, that the factory
# has a thumbnailer for it, that the thumbnail is made and saved in that place, as a PNG whose
# larger side is 128 (the normal size) and which names the file's URI, and that the factory
# then finds it as the file's valid thumbnail. Prints a line a file; ends with status
# 1 and the reason at the first file that fails.
#
# Debian's /usr/bin/python3, which has python3-gi: tests/package/factory.sh runs it.
# Usage: factory.py FILE:TYPE...

import hashlib
import os
import sys

import gi

gi.require_version("GnomeDesktop", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf, Gio, GLib, GnomeDesktop  # noqa: E402

NORMAL = GnomeDesktop.DesktopThumbnailSize.NORMAL
NORMAL_SIDE = 128


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def thumbnail(factory, path, wanted_type):
    model = Gio.File.new_for_path(path)
    uri = model.get_uri()
    info = model.query_info("standard::content-type,time::modified",
                            Gio.FileQueryInfoFlags.NONE, None)
    content_type = info.get_content_type()
    mtime = info.get_attribute_uint64("time::modified")
    if content_type != wanted_type:
        fail(f"{path} is {content_type} to the desktop, not {wanted_type}")
    if not factory.can_thumbnail(uri, content_type, mtime):
        fail(f"the factory has no thumbnailer for {content_type} ({path})")
    try:
        picture = factory.generate_thumbnail(uri, content_type, None)
    except GLib.Error as error:
        fail(f"the factory made no thumbnail of {path}: {error.message}")
    factory.save_thumbnail(picture, uri, mtime, None)

    cache = os.environ["XDG_CACHE_HOME"]
    where = os.path.join(cache, "thumbnails", "normal",
                         hashlib.md5(uri.encode()).hexdigest() + ".png")
    if GnomeDesktop.desktop_thumbnail_path_for_uri(uri, NORMAL) != where:
        fail(f"the factory puts {uri}'s thumbnail elsewhere than {where}")
    if not os.path.isfile(where):
        fail(f"no thumbnail of {path} saved as {where}")
    with open(where, "rb") as saved:
        if saved.read(8) != b"\x89PNG\r\n\x1a\n":
            fail(f"{where} is not a PNG")
    loaded = GdkPixbuf.Pixbuf.new_from_file(where)
    width, height = loaded.get_width(), loaded.get_height()
    if max(width, height) != NORMAL_SIDE:
        fail(f"{path}'s thumbnail is {width}x{height}: its larger side is not {NORMAL_SIDE}")
    if loaded.get_option("tEXt::Thumb::URI") != uri:
        fail(f"{where} names {loaded.get_option('tEXt::Thumb::URI')}, not {uri}")
    if factory.lookup(uri, mtime) != where:
        fail(f"the factory does not find {where} as the valid thumbnail of {path}")
    print(f"{os.path.basename(path)}: {content_type}, {width}x{height} thumbnail saved as {where}")


def main(arguments):
    if not arguments:
        fail("usage: factory.py FILE:TYPE...")
    factory = GnomeDesktop.DesktopThumbnailFactory.new(NORMAL)
    for argument in arguments:
        path, _, wanted_type = argument.rpartition(":")
        thumbnail(factory, os.path.abspath(path), wanted_type)


if __name__ == "__main__":
    main(sys.argv[1:])

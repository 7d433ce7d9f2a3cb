#!/usr/bin/env python3
"""Pillow doing the benchmark's work in its best configuration: one worker process per core,
JPEG draft mode (shrink-on-load) for resizing, Lanczos filter.

  pillow_batch.py convert FORMAT QUALITY DEST JOBS FILE...
  pillow_batch.py resize WIDTH HEIGHT DEST JOBS FILE...
"""
import os
import sys
from multiprocessing import Pool

from PIL import Image

EXT = {"JPG": (".jpg", "JPEG"), "PNG": (".png", "PNG"), "GIF": (".gif", "GIF"),
       "BMP": (".bmp", "BMP"), "TIFF": (".tiff", "TIFF"), "WEBP": (".webp", "WEBP")}


def flatten(im):
    if im.mode in ("RGBA", "LA", "P"):
        im = im.convert("RGBA")
        back = Image.new("RGB", im.size, (255, 255, 255))
        back.paste(im, mask=im.split()[3])
        return back
    return im.convert("RGB") if im.mode != "RGB" else im


def convert(args):
    path, fmt, quality, dest = args
    ext, name = EXT[fmt]
    out = os.path.join(dest, os.path.splitext(os.path.basename(path))[0] + ext)
    with Image.open(path) as im:
        if name in ("JPEG", "BMP"):
            im = flatten(im)
            im.save(out, name, quality=quality) if name == "JPEG" else im.save(out, name)
        elif name == "TIFF":
            im.save(out, name, compression="tiff_adobe_deflate")
        elif name == "WEBP":
            # Frames and EXIF kept, as quarbel keeps them.
            im.save(out, name, quality=quality, save_all=getattr(im, "n_frames", 1) > 1,
                    exif=im.info.get("exif", b""))
        else:
            im.save(out, name)


def resize(args):
    path, width, height, dest = args
    out = os.path.join(dest, os.path.basename(path))
    with Image.open(path) as im:
        fmt = im.format
        if fmt == "JPEG":
            im.draft("RGB", (width, height))
        im = im.resize((width, height), Image.LANCZOS)
        if fmt == "JPEG":
            im.save(out, fmt, quality=90)
        else:
            im.save(out, fmt)


def main():
    mode = sys.argv[1]
    if mode == "convert":
        fmt, quality, dest, jobs = sys.argv[2], int(sys.argv[3]), sys.argv[4], int(sys.argv[5])
        work, items = convert, [(p, fmt, quality, dest) for p in sys.argv[6:]]
    else:
        width, height, dest, jobs = int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], int(sys.argv[5])
        work, items = resize, [(p, width, height, dest) for p in sys.argv[6:]]
    if jobs == 1:
        for item in items:
            work(item)
    else:
        with Pool(jobs) as pool:
            pool.map(work, items, chunksize=1)


if __name__ == "__main__":
    main()

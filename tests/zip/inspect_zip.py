# Reads a ZIP archive with Python's zipfile and prints what it found as JSON: the archive
# comment, where the central directory starts, and per entry its header fields and contents
# (zipfile checks each entry's CRC-32 while reading it).
import base64
import json
import sys
import zipfile
import zlib

with zipfile.ZipFile(sys.argv[1]) as z:
    entries = []
    for info in z.infolist():
        data = z.read(info)
        entries.append({
            "name": info.filename,
            "comment": info.comment.decode("utf-8"),
            "date_time": list(info.date_time),
            "crc": info.CRC,
            "data_crc": zlib.crc32(data),
            "compress_type": info.compress_type,
            "compress_size": info.compress_size,
            "file_size": info.file_size,
            "flag_bits": info.flag_bits,
            "create_system": info.create_system,
            "create_version": info.create_version,
            "header_offset": info.header_offset,
            "raw_name_length": len(info.orig_filename.encode("utf-8")),
            "data": base64.b64encode(data).decode("ascii"),
        })
    print(json.dumps({
        "comment": z.comment.decode("utf-8"),
        "bad": z.testzip(),
        "start_dir": z.start_dir,
        "entries": entries,
    }))

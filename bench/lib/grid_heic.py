#!/usr/bin/env python3
"""Builds a HEIC whose primary image is a grid of tiles, as phones write their
photos (heif-enc of Debian's libheif writes only single images): each tile a
HEIC of its own made by heif-enc, its coded image and decoder configuration
taken over, the grid cropping the tiles to the photo's size.

    grid_heic.py OUT WIDTH HEIGHT COLUMNS ROWS TILE.heic...   (tiles in row order)
"""
import struct
import sys


def boxes(data, start=0, end=None):
    """(type, payload start, box end) of each box in data[start:end]."""
    end = len(data) if end is None else end
    at = start
    while at + 8 <= end:
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        header = 8
        if size == 1:
            size = struct.unpack(">Q", data[at + 8:at + 16])[0]
            header = 16
        elif size == 0:
            size = end - at
        yield kind.decode("latin-1"), at + header, at + size
        at += size


def child(data, start, end, kind):
    for found, payload, box_end in boxes(data, start, end):
        if found == kind:
            return payload, box_end
    raise ValueError("no %s box" % kind)


def primary_tile(path):
    """The primary image's hvcC box and coded data of a single-image HEIC."""
    data = open(path, "rb").read()
    meta, meta_end = child(data, 0, None, "meta")
    meta += 4  # a full box
    pitm, _ = child(data, meta, meta_end, "pitm")
    primary = struct.unpack(">H", data[pitm + 4:pitm + 6])[0]
    iprp, iprp_end = child(data, meta, meta_end, "iprp")
    ipco, ipco_end = child(data, iprp, iprp_end, "ipco")
    properties = [(kind, payload - 8, box_end) for kind, payload, box_end in boxes(data, ipco, ipco_end)]
    ipma, _ = child(data, iprp, iprp_end, "ipma")
    version, flags = data[ipma], int.from_bytes(data[ipma + 1:ipma + 4], "big")
    at = ipma + 4
    count = struct.unpack(">I", data[at:at + 4])[0]
    at += 4
    hvcc = None
    for _ in range(count):
        if version < 1:
            item = struct.unpack(">H", data[at:at + 2])[0]
            at += 2
        else:
            item = struct.unpack(">I", data[at:at + 4])[0]
            at += 4
        associations = data[at]
        at += 1
        for _ in range(associations):
            if flags & 1:
                index = struct.unpack(">H", data[at:at + 2])[0] & 0x7FFF
                at += 2
            else:
                index = data[at] & 0x7F
                at += 1
            kind, box_start, box_end = properties[index - 1]
            if item == primary and kind == "hvcC":
                hvcc = data[box_start:box_end]
    iloc, _ = child(data, meta, meta_end, "iloc")
    version = data[iloc]
    at = iloc + 4
    sizes = struct.unpack(">H", data[at:at + 2])[0]
    offset_size, length_size, base_size = sizes >> 12, sizes >> 8 & 15, sizes >> 4 & 15
    index_size = sizes & 15 if version in (1, 2) else 0
    at += 2
    count = struct.unpack(">H" if version < 2 else ">I", data[at:at + (2 if version < 2 else 4)])[0]
    at += 2 if version < 2 else 4

    def number(size):
        nonlocal at
        value = int.from_bytes(data[at:at + size], "big") if size else 0
        at += size
        return value

    for _ in range(count):
        item = number(2 if version < 2 else 4)
        if version in (1, 2):
            number(2)
        number(2)
        base = number(base_size)
        extents = number(2)
        coded = b""
        for _ in range(extents):
            number(index_size)
            offset = number(offset_size)
            length = number(length_size)
            coded += data[base + offset:base + offset + length]
        if item == primary:
            return hvcc, coded
    raise ValueError("no data of the primary image in %s" % path)


def box(kind, payload):
    return struct.pack(">I4s", 8 + len(payload), kind.encode()) + payload


def full_box(kind, version, flags, payload):
    return box(kind, bytes([version]) + flags.to_bytes(3, "big") + payload)


def main():
    out, width, height, columns, rows = sys.argv[1], *map(int, sys.argv[2:6])
    tiles = [primary_tile(path) for path in sys.argv[6:]]
    assert len(tiles) == columns * rows
    grid_id, tile_ids = 1, list(range(2, 2 + len(tiles)))
    infos = [full_box("infe", 2, 0, struct.pack(">HH4s", grid_id, 0, b"grid") + b"\0")]
    infos += [full_box("infe", 2, 1, struct.pack(">HH4s", item, 0, b"hvc1") + b"\0") for item in tile_ids]
    iinf = full_box("iinf", 0, 0, struct.pack(">H", len(infos)) + b"".join(infos))
    iref = full_box("iref", 0, 0, box("dimg", struct.pack(">HH", grid_id, len(tile_ids)) +
                                      b"".join(struct.pack(">H", item) for item in tile_ids)))
    # Every tile has the same size: the grid's output size over its cells.
    tile_width, tile_height = -(-width // columns), -(-height // rows)
    ipco = box("ipco", full_box("ispe", 0, 0, struct.pack(">II", width, height)) +
               full_box("ispe", 0, 0, struct.pack(">II", tile_width, tile_height)) +
               b"".join(hvcc for hvcc, _ in tiles))
    associations = [struct.pack(">HB", grid_id, 1) + struct.pack(">H", 1)]
    for n, item in enumerate(tile_ids):
        associations.append(struct.pack(">HB", item, 2) + struct.pack(">HH", 0x8000 | (3 + n), 2))
    ipma = full_box("ipma", 0, 1, struct.pack(">I", len(associations)) + b"".join(associations))
    iprp = box("iprp", ipco + ipma)
    grid = struct.pack(">BBBBHH", 0, 0, rows - 1, columns - 1, width, height)
    idat = box("idat", grid)
    hdlr = full_box("hdlr", 0, 0, struct.pack(">I4s", 0, b"pict") + b"\0" * 12 + b"\0")
    pitm = full_box("pitm", 0, 0, struct.pack(">H", grid_id))
    ftyp = box("ftyp", b"heic" + struct.pack(">I", 0) + b"mif1heic")

    def iloc(mdat_start):
        entries = [struct.pack(">HHHHII", grid_id, 1, 0, 1, 0, len(grid))]
        offset = mdat_start
        for item, (_, coded) in zip(tile_ids, tiles):
            entries.append(struct.pack(">HHHHII", item, 0, 0, 1, offset, len(coded)))
            offset += len(coded)
        return full_box("iloc", 1, 0, struct.pack(">BBH", 0x44, 0x00, len(entries)) + b"".join(entries))

    def meta(mdat_start):
        return full_box("meta", 0, 0, hdlr + pitm + iloc(mdat_start) + iinf + iref + iprp + idat)

    start = len(ftyp) + len(meta(0)) + 8
    coded = b"".join(coded for _, coded in tiles)
    with open(out, "wb") as file:
        file.write(ftyp + meta(start) + box("mdat", coded))


if __name__ == "__main__":
    main()

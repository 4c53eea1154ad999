#!/usr/bin/env python3
"""Prints the version resource of a Windows binary (PE32 or PE32+), one "name=value" a line:
FILEVERSION and PRODUCTVERSION of the fixed part, then every text of its string tables.
Exits 1 with a message on stderr when the file is no PE image or carries no version resource."""
import struct
import sys

RT_VERSION = 16


class Malformed(Exception):
    pass


def unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise Malformed("truncated at offset %d" % offset)
    return struct.unpack_from(fmt, data, offset)


def sections(data):
    """The image's sections as (virtual address, virtual size, file offset, raw size), and the
    resource directory's RVA and size."""
    if data[:2] != b"MZ":
        raise Malformed("no MZ header")
    (pe,) = unpack("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise Malformed("no PE signature")
    _, count, _, _, _, optional_size, _ = unpack("<HHIIIHH", data, pe + 4)
    optional = pe + 24
    (magic,) = unpack("<H", data, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise Malformed("unknown optional header 0x%x" % magic)
    resource_rva, resource_size = unpack("<II", data, directories + 2 * 8)
    table = optional + optional_size
    found = []
    for i in range(count):
        vsize, vaddr, raw_size, raw_offset = unpack("<IIII", data, table + i * 40 + 8)
        found.append((vaddr, max(vsize, raw_size), raw_offset, raw_size))
    return found, resource_rva, resource_size


def file_offset(found, rva):
    for vaddr, vsize, raw_offset, raw_size in found:
        if vaddr <= rva < vaddr + vsize and rva - vaddr < raw_size:
            return raw_offset + rva - vaddr
    raise Malformed("RVA 0x%x lies in no section" % rva)


def first_leaf(data, base, directory, wanted_id=None, depth=0):
    """The data entry below a resource directory: the wanted id at the top level, then the first
    entry of each level below."""
    if depth > 2:
        raise Malformed("resource tree too deep")
    _, _, _, _, named, ids = unpack("<IIHHHH", data, base + directory)
    for i in range(named + ids):
        name, target = unpack("<II", data, base + directory + 16 + i * 8)
        if wanted_id is not None and (name & 0x80000000 or name != wanted_id):
            continue
        if target & 0x80000000:
            return first_leaf(data, base, target & 0x7FFFFFFF, None, depth + 1)
        return unpack("<II", data, base + target)
    return None


def version_bytes(data):
    found, resource_rva, resource_size = sections(data)
    if not resource_rva or not resource_size:
        return None
    try:
        base = file_offset(found, resource_rva)
    except Malformed:
        return None  # the resource section was removed, its directory entry left behind
    leaf = first_leaf(data, base, 0, RT_VERSION)
    if leaf is None:
        return None
    rva, size = leaf
    start = file_offset(found, rva)
    if start + size > len(data):
        raise Malformed("version resource runs past the end of the file")
    return data[start:start + size]


def blocks(block, offset, end):
    """The version blocks from offset to end: (key, value type, value bytes, children)."""
    while offset + 6 <= end:
        length, value_length, value_type = unpack("<HHH", block, offset)
        if length < 6 or offset + length > end:
            raise Malformed("bad block length %d" % length)
        key_end = offset + 6
        while key_end + 1 < offset + length and block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[offset + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if value_type == 1 else value_length
        value = block[value_start:value_start + value_bytes]
        children = (value_start + value_bytes + 3) & ~3
        yield key, value_type, value, (children, offset + length)
        offset = (offset + length + 3) & ~3


def read_version(block):
    """The version's named texts, with the fixed part's two versions as FILEVERSION and
    PRODUCTVERSION."""
    root = list(blocks(block, 0, len(block)))
    if not root or root[0][0] != "VS_VERSION_INFO":
        raise Malformed("no VS_VERSION_INFO block")
    _, _, fixed, (children, end) = root[0]
    texts = {}
    if len(fixed) >= 52:
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        if signature == 0xFEEF04BD:
            quad = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            texts["FILEVERSION"] = quad(file_ms, file_ls)
            texts["PRODUCTVERSION"] = quad(product_ms, product_ls)
    for key, _, _, (start, stop) in blocks(block, children, end):
        if key != "StringFileInfo":
            continue
        for _, _, _, (table_start, table_stop) in blocks(block, start, stop):
            for name, _, value, _ in blocks(block, table_start, table_stop):
                texts[name] = value.decode("utf-16-le").rstrip("\0")
    return texts


def main(argv):
    if len(argv) != 2:
        print("usage: pe_version.py <binary>", file=sys.stderr)
        return 2
    try:
        with open(argv[1], "rb") as f:
            data = f.read()
        block = version_bytes(data)
        if block is None:
            print("%s: no version resource" % argv[1], file=sys.stderr)
            return 1
        texts = read_version(block)
    except (OSError, Malformed, UnicodeDecodeError) as error:
        print("%s: %s" % (argv[1], error), file=sys.stderr)
        return 1
    for name, value in texts.items():
        print("%s=%s" % (name, value))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

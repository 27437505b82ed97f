#!/usr/bin/env python3
"""Takes the clock out of the files that the tools stamp with it, so that the same source gives
the same bytes. Run by the Windows build:

  reproducible.py chm FILE EPOCH
      chmcmd writes the time of day into the header and into #SYSTEM (both uncompressed).
  reproducible.py msi FILE EPOCH SEED
      wixl writes the clock into the summary information (created, last saved) and a random
      package code. The dates become EPOCH; the package code a name-based UUID of SEED (the
      commit and version) and of the package's own bytes, so that two packages share a package
      code only when they are the same package.

Both edit the file in place without changing its length."""
import hashlib
import struct
import sys
import uuid

# Seconds from 1601-01-01 (FILETIME) to 1970-01-01.
FILETIME_EPOCH_OFFSET = 11644473600
# Namespace of Halcyra's package codes (fixed; any UUID would do as long as it never changes).
PACKAGE_CODE_NAMESPACE = uuid.UUID("8f3c1e52-6b0d-4a7e-9c25-1d4b7e0a9f36")


def pin_chm(path, epoch):
    data = bytearray(open(path, "rb").read())
    if data[:4] != b"ITSF":
        sys.exit(f"{path}: not a compiled help file")
    milliseconds = (epoch % 86400) * 1000
    struct.pack_into(">I", data, 0x10, milliseconds)
    # #SYSTEM is a file of section 0; its entries are code, length, data after a version word.
    start, length = chm_section0_file(data, b"/#SYSTEM")
    at, end = start + 4, start + length
    found = False
    while at + 4 <= end:
        code, size = struct.unpack_from("<HH", data, at)
        if code == 10 and size == 4:
            struct.pack_into("<I", data, at + 4, milliseconds)
            found = True
        at += 4 + size
    if not found:
        sys.exit(f"{path}: no time stamp in #SYSTEM")
    open(path, "wb").write(data)


def encint(data, at):
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, at


def chm_section0_file(data, wanted):
    directory = struct.unpack_from("<Q", data, 0x48)[0]
    content = struct.unpack_from("<Q", data, 0x58)[0]
    header_length = struct.unpack_from("<I", data, directory + 0x08)[0]
    block_length = struct.unpack_from("<I", data, directory + 0x10)[0]
    blocks = struct.unpack_from("<I", data, directory + 0x28)[0]
    for block in range(blocks):
        base = directory + header_length + block * block_length
        if data[base : base + 4] != b"PMGL":
            continue
        end = base + block_length - struct.unpack_from("<I", data, base + 4)[0]
        at = base + 20
        while at < end:
            size, at = encint(data, at)
            name = bytes(data[at : at + size])
            at += size
            section, at = encint(data, at)
            offset, at = encint(data, at)
            length, at = encint(data, at)
            if name == wanted and section == 0:
                return content + offset, length
    sys.exit(f"no {wanted.decode()} in the help file")


class CompoundFile:
    """Just enough of the compound file format to find where a stream's bytes lie."""

    def __init__(self, data):
        self.data = data
        if data[:8] != bytes.fromhex("D0CF11E0A1B11AE1"):
            sys.exit("not a Windows Installer package")
        self.sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini = 1 << struct.unpack_from("<H", data, 0x20)[0]
        self.cutoff = struct.unpack_from("<I", data, 0x38)[0]
        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < 0xFFFFFFFA]
        next_difat = struct.unpack_from("<I", data, 0x44)[0]
        per = self.sector // 4
        while next_difat < 0xFFFFFFFA:
            entries = struct.unpack_from(f"<{per}I", data, self.offset(next_difat))
            fat_sectors += [s for s in entries[:-1] if s < 0xFFFFFFFA]
            next_difat = entries[-1]
        self.fat = []
        for s in fat_sectors:
            self.fat += struct.unpack_from(f"<{per}I", data, self.offset(s))
        minifat_bytes = self.read_chain(struct.unpack_from("<I", data, 0x3C)[0])
        self.minifat = list(struct.unpack(f"<{len(minifat_bytes) // 4}I", minifat_bytes))
        directory = self.read_chain(struct.unpack_from("<I", data, 0x30)[0])
        self.entries = [directory[i : i + 128] for i in range(0, len(directory), 128)]
        self.root_chain = self.chain(struct.unpack_from("<I", self.entries[0], 0x74)[0])

    def offset(self, sector):
        return (sector + 1) * self.sector

    def chain(self, first):
        sectors = []
        while first < 0xFFFFFFFA:
            sectors.append(first)
            first = self.fat[first]
        return sectors

    def read_chain(self, first):
        return b"".join(self.data[self.offset(s) : self.offset(s) + self.sector] for s in self.chain(first))

    def stream_offsets(self, name):
        """The file offset of each byte of the stream called `name`."""
        for entry in self.entries:
            length = struct.unpack_from("<H", entry, 0x40)[0]
            if entry[0x42] != 2 or entry[: max(length - 2, 0)].decode("utf-16-le") != name:
                continue
            start = struct.unpack_from("<I", entry, 0x74)[0]
            size = struct.unpack_from("<Q", entry, 0x78)[0]
            offsets = []
            if size < self.cutoff:
                sector = start
                while sector < 0xFFFFFFFA and len(offsets) < size:
                    place = sector * self.mini
                    big = self.root_chain[place // self.sector]
                    base = self.offset(big) + place % self.sector
                    offsets += range(base, base + self.mini)
                    sector = self.minifat[sector]
            else:
                for sector in self.chain(start):
                    offsets += range(self.offset(sector), self.offset(sector) + self.sector)
            return offsets[:size]
        sys.exit(f"no stream {name!r} in the package")


SUMMARY_REVISION, SUMMARY_CREATED, SUMMARY_SAVED = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64


def pin_msi(path, epoch, seed):
    data = bytearray(open(path, "rb").read())
    offsets = CompoundFile(data).stream_offsets("\x05SummaryInformation")
    stream = bytearray(data[o] for o in offsets)
    section = struct.unpack_from("<I", stream, 28 + 16)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    places = {}
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        places[pid] = section + at
    filetime = (epoch + FILETIME_EPOCH_OFFSET) * 10_000_000
    for pid in (SUMMARY_CREATED, SUMMARY_SAVED):
        at = places[pid]
        if struct.unpack_from("<I", stream, at)[0] != VT_FILETIME:
            sys.exit(f"{path}: summary property {pid} is not a date")
        struct.pack_into("<Q", stream, at + 4, filetime)
    at = places[SUMMARY_REVISION]
    size = struct.unpack_from("<I", stream, at + 4)[0]
    if struct.unpack_from("<I", stream, at)[0] != VT_LPSTR or size < 38:
        sys.exit(f"{path}: no package code in the summary information")

    def put_code(code):
        stream[at + 8 : at + 8 + 38] = code.encode("ascii")
        for o, byte in zip(offsets, stream):
            data[o] = byte

    # The package code is a digest of everything else: first the package with a blank one.
    put_code("{00000000-0000-0000-0000-000000000000}")
    digest = hashlib.sha256(data).hexdigest()
    code = uuid.uuid5(PACKAGE_CODE_NAMESPACE, f"{seed} {digest}")
    put_code("{" + str(code).upper() + "}")
    open(path, "wb").write(data)


def main():
    kind, path, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    if kind == "chm":
        pin_chm(path, epoch)
    elif kind == "msi":
        pin_msi(path, epoch, sys.argv[4])
    else:
        sys.exit(f"unknown kind {kind}")


if __name__ == "__main__":
    main()

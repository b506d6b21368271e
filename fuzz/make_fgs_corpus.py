#!/usr/bin/env python3
"""Writes the seeds in corpus/fuzz_fgs_reader/ (run by hand when the vehicle file format changes)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "fuzz_fgs_reader")


def u16(v):
    return struct.pack("<H", v)


def field(text, size):
    return text + b"\0" * (size - len(text))


def header(sets, flag=1, author=b"Autor", info=b"Info", extra=b"", a=b"", b=b""):
    out = b"TRAK User Graphics File (rolling stock file)\x1a" + b"\x46\xc7\x53" + u16(1) + u16(0) + u16(flag)
    if flag == 1:
        out += field(author, 80) + field(b"", 1024) + u16(len(info) + 1) + info + b"\0"
    return out + u16(0) + u16(0) + u16(len(extra)) + extra + a + b"\0" + b + b"\0" + u16(sets)


def set_record(cars, name, check=0):
    return bytes([cars]) + u16(0) + u16(check) + u16(0) + u16(0) + field(name, 23)


def car(length, name, flags=True, check=0, steam=0x80, car_flags=0x8011):
    out = bytes([length]) + u16(1 if flags else 0)
    if flags:
        out += u16(steam) * 128
    out += u16(check) + u16(0) + u16(0)
    out += field(name, 62) + field(b"zwei \xe4", 62) + field(b"", 62) + struct.pack("<I", car_flags)
    for size in (32, 32, 112, 112):
        out += bytes((i * 7) % 100 for i in range(size * length))
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    one_car = header(1) + set_record(1, b"Satz") + car(1, b"Lok")
    seeds = {
        "empty.fgs": header(0),
        "one_car.fgs": one_car,
        "no_author_block.fgs": header(2, flag=0, extra=b"xyz", a=b"A", b=b"BB")
        + set_record(2, b"Zug") + car(1, b"", flags=False) + car(2, b"W")
        + set_record(1, b"") + car(1, b"X", steam=0x40),
        "damaged.fgs": header(2) + set_record(2, b"S", check=1) + car(0, b"null") + car(1, b"eins", check=3)
        + set_record(1, b"T") + car(1, b"zwei"),
        "truncated.fgs": one_car[:-50],
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Compare a translated part of the language file with the German file.

Usage: check_part.py GERMAN.rtx PART.rtx
For every section the part holds: the same keys in the same order, the same number of comment
lines, the same placeholders per key (printf forms in order, %N in any order, a bare %), the same
\\t, \\n, #empty and quoting, an & in every menu text, and only characters Windows-1252 has.
"""
import re
import sys

# printf forms first, so that "%02d" is not read as "%02"
PLACEHOLDER = re.compile(r"%([-+ #0]*\d*(?:\.\d+)?[sdiuxXc]|\d+|%)?")


def read(path, encoding):
    sections, name = {}, None
    with open(path, encoding=encoding) as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                name = line.strip("[]")
                sections[name] = {"keys": [], "values": {}, "comments": 0}
            elif name is None or not line.strip():
                continue
            elif line.startswith(";"):
                sections[name]["comments"] += 1
            else:
                key, _, value = line.partition("=")
                sections[name]["keys"].append(key)
                sections[name]["values"][key] = value.strip()
    return sections


def shape(value):
    found = [m.group(0) for m in PLACEHOLDER.finditer(value)]
    numbered = sorted(p for p in found if p[1:].isdigit())
    others = [p for p in found if not p[1:].isdigit()]
    quoted = value.startswith('"') and value.endswith('"')
    return numbered, others, value.count("\\t"), value.count("\\n"), value == "#empty", quoted


def main(german_path, part_path):
    german, part = read(german_path, "cp1252"), read(part_path, "utf-8")
    errors = []
    for name, section in part.items():
        source = german.get(name)
        if source is None:
            errors.append(f"[{name}] is not a section of the German file")
            continue
        if section["keys"] != source["keys"]:
            missing = [k for k in source["keys"] if k not in section["values"]]
            extra = [k for k in section["keys"] if k not in source["values"]]
            errors.append(f"[{name}] keys differ: missing {missing}, extra {extra} (or another order)")
        if section["comments"] != source["comments"]:
            errors.append(f"[{name}] {section['comments']} comment lines, German has {source['comments']}")
        for key, value in section["values"].items():
            if key in source["values"] and shape(value) != shape(source["values"][key]):
                errors.append(f"[{name}] {key}: {shape(value)} != German {shape(source['values'][key])}")
            if name == "MENU" and "&" in source["values"].get(key, "") and "&" not in value:
                errors.append(f"[{name}] {key}: no access key")
            try:
                value.encode("cp1252")
            except UnicodeEncodeError:
                errors.append(f"[{name}] {key}: a character Windows-1252 lacks")
    for error in errors:
        print(error)
    print(f"{len(errors)} problem(s) in {', '.join(part)}")
    return 1 if errors else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))

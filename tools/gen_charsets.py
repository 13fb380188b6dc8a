#!/usr/bin/env python3
"""Writes src/document/charset_tables.inc: WordPerfect character sets as Unicode code points.

The WordPerfect sets come from libwpd 0.10.3 as Debian 12 ships it, read through its own
converter: for every (set, index) pair the script writes one probe character into a 4.2, 5.x or
6.x document and reads back what wpd2text prints for it. A dump taken this way sees exactly what
the reading is later compared with, including the entries libwpd spells as several code points.
The probe documents borrow their prefix area from the sample files that ship with wp2latex.
Code page 437 is libwpd's WordPerfect 4.2 table; Windows-1252 is Python's codec.

libwpd prints a space for characters it does not know and keeps spaces as placeholders inside
its tables; both become "unknown" here, except the space of set 0 itself.

Needs Debian's libwpd-tools and wp2latex. Run from the top of the source tree:
    python3 tools/gen_charsets.py
"""

import os
import subprocess
import sys
import tempfile
import textwrap

EXAMPLES = "/usr/share/doc/wp2latex/examples"
OUTPUT = os.path.join("src", "document", "charset_tables.inc")
SETS = 15  # 0-14 in both generations; 5.x leaves set 12 empty

WP5_NAMES = ["ASCII", "International 1", "International 2", "Box drawing", "Typographic symbols",
             "Iconic symbols", "Math/scientific", "Math/scientific extended", "Greek", "Hebrew",
             "Cyrillic", "Japanese", "User-defined (libwpd maps none)", "Arabic", "Arabic script"]
WP6_NAMES = ["ASCII", "Multinational", "Phonetic", "Box drawing", "Typographic symbols",
             "Iconic symbols", "Math/scientific", "Math/scientific extended", "Greek", "Hebrew",
             "Cyrillic", "Japanese", "Tibetan", "Arabic", "Arabic script"]

# Where we knowingly differ from libwpd 0.10.3: (table, set, index, libwpd's, ours, evidence).
DEVIATIONS = [
    ("cp437", None, 130, [0x00EB], [0x00E9],
     "code page 437 byte 0x82 is e-acute; libwpd 0.10.3 repeats e-diaeresis, which is 0x89"),
    ("cp437", None, 163, [0x00F4], [0x00FA],
     "code page 437 byte 0xA3 is u-acute; libwpd 0.10.3 repeats o-circumflex, which is 0x93"),
    ("wp5", 8, 38, [0x03F9], [0x03A3],
     "capital terminal sigma; fixed in libwpd 0.10.4 (tdf#153034); chars5.wp labels it "
     "'SIGMA (Terminal)' and the 6.x Greek set has U+03A3 at the same place"),
    ("wp5", 8, 39, [0x03DB], [0x03C2],
     "final sigma, not stigma; fixed in libwpd 0.10.4 (tdf#153034); chars5.wp labels it "
     "'sigma (Terminal)' and the 6.x Greek set has U+03C2 at the same place"),
    ("wp5", 8, 65, [0x1FE5], [0x03F1],
     "variant rho; fixed in libwpd 0.10.4 (tdf#153034); chars5.wp labels it 'rho (Variant)'"),
]


def read_template(name):
    with open(os.path.join(EXAMPLES, name), "rb") as f:
        return f.read()


def prefixed(template, body):
    """A 5.x/6.x template's prefix area followed by a new document area."""
    start = int.from_bytes(template[4:8], "little")
    return template[:start] + body


def probe(path, data):
    with open(path, "wb") as f:
        f.write(data)
    out = subprocess.run(["wpd2text", path], check=True, capture_output=True).stdout
    found = {}
    for line in out.decode("utf-8").split("\n"):
        # The 4.2 probe shares its first line with the template's last one.
        at = line.find("Q")
        if at < 0 or "=" not in line:
            continue
        key, _, rest = line[at + 1:].partition("=")
        rest = rest.rstrip(" ")
        if not rest.endswith("|"):
            sys.exit("unexpected wpd2text line: %r" % line)
        found[key] = [ord(c) for c in rest[:-1]]
    return found


def dump_wordperfect(tmp):
    """{"wp5"|"wp6": [[codepoints per index] per set]}, {"low": ..., "cp437": ...}"""
    wp5_body, wp6_body, low_body, wp42_body = bytearray(), bytearray(), bytearray(), bytearray()
    for s in range(SETS):
        for i in range(256):
            wp5_body += b"Q%d,%d=" % (s, i) + bytes([0xC0, i, s, 0xC0]) + b"|\n"
            wp6_body += b"Q%d,%d=" % (s, i) + bytes([0xF0, i, s, 0xF0]) + b"|" + bytes([0xCC])
    for b in range(1, 0x21):
        low_body += b"Q%d=" % b + bytes([b]) + b"|" + bytes([0xCC])
    for b in range(256):
        wp42_body += b"Q%d=" % b + bytes([0xE1, b, 0xE1]) + b"|\n"

    chars5, chars6 = read_template("chars5.wp"), read_template("chars6.wp")
    torture4 = read_template("torture4.wp")
    wp42_head = torture4[:torture4.index(b"\xe1\x00\xe1")]

    wp5 = probe(os.path.join(tmp, "p5.wp"), prefixed(chars5, bytes(wp5_body)))
    wp6 = probe(os.path.join(tmp, "p6.wp"), prefixed(chars6, bytes(wp6_body)))
    low = probe(os.path.join(tmp, "p6low.wp"), prefixed(chars6, bytes(low_body)))
    wp42 = probe(os.path.join(tmp, "p42.wp"), wp42_head + bytes(wp42_body))

    def known(cps, allow_space=False):
        return [] if cps == [0x20] and not allow_space else cps

    tables = {"wp5": [], "wp6": []}
    for name, found in (("wp5", wp5), ("wp6", wp6)):
        for s in range(SETS):
            tables[name].append(
                [known(found["%d,%d" % (s, i)], s == 0 and i == 0x20) for i in range(256)])
    tables["low"] = [[]] + [known(low["%d" % b]) for b in range(1, 0x21)]
    # Control bytes are the readers' business; above them libwpd's 4.2 table is code page 437.
    tables["cp437"] = [[] if b < 0x20 else known(wp42["%d" % b], b == 0x20 or b == 0xFF)
                       for b in range(256)]
    return tables


def cp1252():
    table = []
    for b in range(256):
        try:
            c = bytes([b]).decode("cp1252")
        except UnicodeDecodeError:
            table.append([])  # 0x81, 0x8D, 0x8F, 0x90, 0x9D
            continue
        table.append([] if b < 0x20 or b == 0x7F else [ord(c)])
    return table


def apply_deviations(tables):
    for table, s, i, theirs, ours, _ in DEVIATIONS:
        cells = tables[table][s] if s is not None else tables[table]
        if cells[i] != theirs:
            sys.exit("libwpd's %s %s,%d is %s, not the expected %s" % (table, s, i, cells[i], theirs))
        cells[i] = ours


def cell(cps):
    return "{" + ", ".join("0x%04X" % c for c in cps) + "}"


def emit_array(out, name, cells, comment, deviations):
    size = max((i + 1 for i, c in enumerate(cells) if c), default=0)
    out.append("")
    out.append("// %s: %d entries." % (comment, sum(1 for c in cells if c)))
    for _, _, i, theirs, ours, why in deviations:
        text = "%d: %s where libwpd 0.10.3 has %s: %s." % (
            i, "+".join("U+%04X" % c for c in ours), "+".join("U+%04X" % c for c in theirs), why)
        out.extend(textwrap.wrap(text, 100, initial_indent="// ", subsequent_indent="//   "))
    if size == 0:
        return None
    out.append("constexpr Cell %s[] = {" % name)
    # Eight cells a line, fewer where several-code-point cells would pass the column limit.
    i = 0
    while i < size:
        line = "    /* %3d */" % i
        for n in range(8):
            if i == size or (n and len(line) + len(cell(cells[i])) + 2 > 100):
                break
            line += " " + cell(cells[i]) + ","
            i += 1
        out.append(line)
    out.append("};")
    return name


def main():
    with tempfile.TemporaryDirectory() as tmp:
        tables = dump_wordperfect(tmp)
    tables["cp1252"] = cp1252()
    apply_deviations(tables)

    out = [
        "// Generated by tools/gen_charsets.py; edit that script, not this file.",
        "//",
        "// WordPerfect character sets as Unicode code points, one cell per character, {} when",
        "// unknown. Source: libwpd 0.10.3's character tables (libwpd_internal.cpp), dumped through",
        "// Debian 12's wpd2text one (set, index) pair at a time and checked against the published",
        "// source; 5.x numbers the sets as 5.x stores them. The 6.x single bytes 0x01-0x20 agree with",
        "// the maker's format kit (b_4singl.htm in wp2latex's formats). Code page 437 above 0x1F is",
        "// libwpd's WordPerfect 4.2 table; Windows-1252 is the standard code page without its",
        "// control codes. Differences from libwpd 0.10.3 are listed above the table they touch.",
    ]
    lists = {"wp5": [], "wp6": []}
    for gen, names in (("wp5", WP5_NAMES), ("wp6", WP6_NAMES)):
        for s in range(SETS):
            devs = [d for d in DEVIATIONS if d[0] == gen and d[1] == s]
            title = "%s.x set %d, %s" % (gen[2], s, names[s])
            lists[gen].append(emit_array(out, "k%sSet%d" % (gen.capitalize(), s),
                                         tables[gen][s], title, devs))
    for gen in ("wp5", "wp6"):
        out.append("")
        out.append("constexpr std::span<const Cell> k%sSets[] = {" % gen.capitalize())
        for name in lists[gen]:
            out.append("    %s," % (name if name else "{}"))
        out.append("};")
    emit_array(out, "kWp6Low", tables["low"], "6.x single bytes, indexed by the byte (0 unused)", [])
    emit_array(out, "kCp437", tables["cp437"], "Code page 437, indexed by the byte",
               [d for d in DEVIATIONS if d[0] == "cp437"])
    emit_array(out, "kCp1252", tables["cp1252"], "Windows-1252, indexed by the byte", [])

    with open(OUTPUT, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the cheatsheet: the whole API on one page, grouped by module as the reference's main page
groups the headers, each function as its prototype with the first sentence of its contract, each
record with its fields, each group of constants with its values; every name links to its entry in
the reference. Read from the XML that Doxygen writes beside the reference.
Usage: make_cheatsheet.py XML_FOLDER MAINPAGE_MD OUTPUT_HTML
"""
import html
import pathlib
import re
import sys
import xml.etree.ElementTree as ET


def text(element):
    return "" if element is None else re.sub(r"\s+", " ", "".join(element.itertext())).strip()


def sentences(words):
    """The sentences of a text, split at a full stop, colon or semicolon outside parentheses."""
    out, depth, start = [], 0, 0
    for i, c in enumerate(words):
        depth += {"(": 1, ")": -1}.get(c, 0)
        if c in ".:;" and depth <= 0 and (i + 1 == len(words) or words[i + 1] == " "):
            out.append(words[start:i].strip())
            start = i + 1
    if words[start:].strip():
        out.append(words[start:].strip())
    return out


def first_sentence(element):
    """What an entry says first, as one sentence: a bare result ("1", "0 when ...") that opens
    a contract is joined with what the function does."""
    words = " ".join(filter(None, (text(element.find("briefdescription")), text(element.find("detaileddescription")))))
    taken = []
    for sentence in sentences(words):
        taken.append(sentence)
        if len(sentence) >= 12 and re.search(r"[A-Za-z]{3}", sentence):
            break
    return "; ".join(taken) + "." if taken else ""


def modules(mainpage):
    """(title, [header, ...]) per row of the main page's module table, in its order."""
    rows = []
    for line in mainpage.read_text().splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) == 3 and cells[0].startswith("\\ref "):
            page = cells[0].split()[1]
            title = page.removesuffix("_page").capitalize()
            rows.append((title, [h.strip() for h in cells[1].split(",")]))
    return rows


def link(member_id, compound_id):
    return f"{compound_id}.html#{member_id.rsplit('_1', 1)[-1]}"


def header_entries(xml_folder, compound):
    """What one header declares: functions, records, constants and globals, as HTML lines."""
    root = ET.parse(xml_folder / f"{compound.get('refid')}.xml").getroot().find("compounddef")
    cid = root.get("id")
    out = {"function": [], "record": [], "constant": [], "variable": []}
    anchored = set()  # an overload (C++'s form beside C's) takes no second anchor of the same name
    for inner in root.findall("innerclass"):
        record = ET.parse(xml_folder / f"{inner.get('refid')}.xml").getroot().find("compounddef")
        fields = [m.findtext("name") for m in record.iter("memberdef") if m.get("kind") == "variable"]
        out["record"].append(
            f'<dt><a href="{inner.get("refid")}.html">{html.escape(inner.text)}</a> '
            f'<span class="f">{html.escape(", ".join(fields))}</span></dt>'
            f"<dd>{html.escape(first_sentence(record))}</dd>")
    for member in root.iter("memberdef"):
        kind, name = member.get("kind"), member.findtext("name")
        href = link(member.get("id"), cid)
        summary = html.escape(first_sentence(member))
        if kind == "function":
            returns, args = html.escape(text(member.find("type"))), html.escape(member.findtext("argsstring"))
            anchor = "" if name in anchored else f' id="{name}"'
            anchored.add(name)
            out["function"].append(f'<dt><code>{returns} <a href="{href}"{anchor}>{name}</a>{args}</code></dt>'
                                   f"<dd>{summary}</dd>")
        elif kind == "enum":
            values = [v.findtext("name") for v in member.findall("enumvalue")]
            label = "" if name.startswith("@") else f'<a href="{href}">{name}</a>: '
            out["constant"].append(f'<dt>{label}<code>{html.escape(", ".join(values))}</code></dt><dd>{summary}</dd>')
        elif kind == "define":
            value = text(member.find("initializer"))
            out["constant"].append(f'<dt><a href="{href}"><code>{name}</code></a> '
                                   f'<code>{html.escape(value)}</code></dt><dd>{summary}</dd>')
        elif kind == "variable":
            decl = f"{text(member.find('type'))} {name}{member.findtext('argsstring') or ''}"
            out["variable"].append(f'<dt><a href="{href}"><code>{html.escape(decl)}</code></a></dt><dd>{summary}</dd>')
    return out


STYLE = """body{font:14px/1.35 sans-serif;margin:1.5em;color:#222}h1{font-size:1.5em;margin:0 0 .2em}
h2{font-size:1.2em;border-bottom:2px solid #446;margin:1.2em 0 .4em}h3{font-size:1em;margin:.8em 0 .2em;color:#446}
.cols{column-width:30em;column-gap:2em}dl{margin:0}dt{margin-top:.35em;break-after:avoid}dd{margin:0 0 0 1.2em;color:#555}
code{font:12.5px monospace}a{color:#224;text-decoration:none}a:hover{text-decoration:underline}.f{color:#777;font-size:.9em}
section{break-inside:avoid-column}"""

KINDS = [("function", "Functions"), ("record", "Records"), ("constant", "Constants"), ("variable", "State")]


def main(xml_folder, mainpage, output):
    xml_folder = pathlib.Path(xml_folder)
    files = {c.findtext("name"): c for c in ET.parse(xml_folder / "index.xml").getroot()
             if c.get("kind") == "file" and c.findtext("name").endswith(".h")}
    paths = {}
    for name, compound in files.items():
        where = ET.parse(xml_folder / f"{compound.get('refid')}.xml").getroot().find("compounddef/location")
        paths[where.get("file")] = compound
    body, placed = [], set()
    groups = modules(pathlib.Path(mainpage))
    rest = sorted(p for p in paths if not any(p in headers for _, headers in groups))
    if rest:
        groups.append(("More", rest))
    for title, headers in groups:
        body.append(f"<h2>{html.escape(title)}</h2><div class=cols>")
        for header in headers:
            if header not in paths or header in placed:
                continue
            placed.add(header)
            entries = header_entries(xml_folder, paths[header])
            refid = paths[header].get("refid")
            body.append(f'<section><h3><a href="{refid}.html">{html.escape(header)}</a></h3>')
            for kind, label in KINDS:
                if entries[kind]:
                    body.append(f"<p><b>{label}</b></p><dl>{''.join(entries[kind])}</dl>")
            body.append("</section>")
        body.append("</div>")
    page = (f"<!DOCTYPE html><html lang=en><head><meta charset=utf-8><title>Zarn: the API on one page</title>"
            f"<style>{STYLE}</style></head><body><h1>Zarn: the API on one page</h1>"
            f'<p>Every function, record and constant of the library by module, each with the first sentence of '
            f'its contract. A name leads to its whole entry in <a href="index.html">the reference</a>.</p>'
            f"{''.join(body)}</body></html>\n")
    pathlib.Path(output).write_text(page)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])

#!/usr/bin/env python3
"""The reference's test. Makes the reference afresh with Doxygen, whose warnings (an undocumented
function, record, field or variable among them) are errors, then checks what Doxygen lets pass:
every value of an enumeration documented (an enumeration of one value may carry the entry
itself), no header left with its comments in the form Doxygen does not read, and every function
the public headers declare on the cheatsheet (found in the headers' text, not through Doxygen).
Usage: check_reference.py DOXYGEN DOXYFILE OUTPUT_FOLDER
"""
import pathlib
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent


def documented(element):
    return any("".join(element.find(part).itertext()).strip()
               for part in ("briefdescription", "detaileddescription") if element.find(part) is not None)


def undocumented_values(xml_folder):
    """Enumeration values without an entry, as 'file:line: name'."""
    found = set()
    for f in sorted(xml_folder.glob("*.xml")):
        for enum in ET.parse(f).iter("memberdef"):
            if enum.get("kind") != "enum":
                continue
            values = enum.findall("enumvalue")
            if len(values) == 1 and documented(enum):
                continue
            where = enum.find("location")
            for value in values:
                if not documented(value):
                    found.add(f"{where.get('file')}:{where.get('line')}: {value.findtext('name')}")
    return sorted(found)


def declared_functions(config):
    """The functions the reference's headers declare: a name and an opening parenthesis on a line
    of its own that a contract comment comes before, outside comments and macros."""
    headers = re.search(r"^INPUT\s*=\s*(.*)$", config, re.M).group(1).split()
    names = set()
    for header in (pathlib.Path(h) for h in headers if h.endswith(".h")):
        previous = ""
        for line in header.read_text().splitlines():
            found = re.match(r"^(?:[\w:]+[ \t*&]+)+([a-z]\w*)\(", line)
            if found and previous.lstrip().startswith("///") and not line.startswith(("#", "typedef", "return")):
                names.add(found.group(1))
            if line.strip():
                previous = line
    return names


def listed_functions(cheatsheet):
    return set(re.findall(r'<a href="[^"]*" id="(\w+)">', cheatsheet.read_text()))


def main(doxygen, doxyfile, output):
    failures = []
    restyle = subprocess.run([sys.executable, str(ROOT / "tools/restyle_contracts.py"), "--check"],
                             capture_output=True, text=True)
    if restyle.returncode != 0:
        failures.append("headers whose comments Doxygen cannot read (run tools/restyle_contracts.py):\n"
                        + restyle.stdout + restyle.stderr)

    out = pathlib.Path(output)
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)
    config = pathlib.Path(doxyfile).read_text() + f"\nOUTPUT_DIRECTORY = {out}\nGENERATE_XML = YES\n"
    run = subprocess.run([doxygen, "-"], input=config, capture_output=True, text=True)
    if run.returncode != 0 or run.stderr.strip():
        failures.append("Doxygen:\n" + run.stderr)
    if (out / "xml").is_dir():
        values = undocumented_values(out / "xml")
        if values:
            failures.append("enumeration values without an entry:\n" + "\n".join(values))

        subprocess.run([sys.executable, str(ROOT / "docs/make_cheatsheet.py"), str(out / "xml"),
                        str(ROOT / "docs/mainpage.md"), str(out / "cheatsheet.html")], check=True)
        missing = sorted(declared_functions(config) - listed_functions(out / "cheatsheet.html"))
        if missing:
            failures.append("functions missing from the cheatsheet:\n" + "\n".join(missing))

    for failure in failures:
        print(failure.rstrip(), file=sys.stderr)
    print("reference: " + ("failed" if failures else "every declaration documented"))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))

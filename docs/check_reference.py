#!/usr/bin/env python3
"""The reference's test. Makes the reference afresh with Doxygen, whose warnings (an undocumented
function, record, field or variable among them) are errors, then checks what Doxygen lets pass:
every value of an enumeration documented (an enumeration of one value may carry the entry
itself), and no header left with its comments in the form Doxygen does not read.
Usage: check_reference.py DOXYGEN DOXYFILE OUTPUT_FOLDER
"""
import pathlib
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

    for failure in failures:
        print(failure.rstrip(), file=sys.stderr)
    print("reference: " + ("failed" if failures else "every declaration documented"))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))

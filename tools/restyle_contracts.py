#!/usr/bin/env python3
"""Turns the headers' comments into the form the reference generator reads, keeping their words.

    //   contract lines under a prototype     ->  /// the same lines, moved above it
    // the comment opening a header           ->  /// \\file and the same lines
    // a comment directly above a declaration ->  /// the same lines (unless the declaration has
                                                   its own comment: then it heads a group)
    code;  // a comment after a declaration   ->  code;  ///< the same text (above a one-line enum)
    a function named in an entry              ->  name(), which the reference links

A comment standing apart (a blank line after it) stays as it is, and so does every comment inside
a function's body. Running it again over headers already in this form changes nothing, so it can
be run after each merge. With no arguments it rewrites every header of the tree (the public ones,
the layers' internal ones, the backends', the tests', tools' and examples'); otherwise the headers
named (files or folders). A function declared with no contract before it is named on stderr.
Usage: tools/restyle_contracts.py [--check] [PATH...]
  --check: list what would change and every function without a contract; exit 1 if any
  (ctest `contract_comments`, label rules, and the start of tools/test.sh)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
# Every header of the tree keeps the one form: all folders but the build trees and hidden ones.
DEFAULT_PATHS = ["."]
SKIPPED = ["build", "."]  # prefixes of the top-level folders left out
# The library's public headers, which the reference documents (docs/CMakeLists.txt names the
# same): the functions they declare are the ones an entry links to.
PUBLIC_PATHS = ["display", "imaging", "sprites", "sound", "input", "platform", "include/zarn"]
# Internal: shared by the backends, the web backend's own, and SDL's peers for the benchmarks.
INTERNAL = ["platform/common", "platform/web", "platform/peer"]

CONTRACT = re.compile(r"^(\s*)//   (.*)$")
COMMENT = re.compile(r"^(\s*)// ?(.*)$")
DECLARED = re.compile(r"^[A-Za-z_][\w \t*&:<>,]*?\b([a-z]\w*_\w*)\s*\(", re.M)  # a function's name
# The first line of a function's declaration: its name and the opening parenthesis.
FUNCTION = re.compile(r"^\s*(?!return\b|using\b|typedef\b|#|//)(?:[\w:<>,*&]+[ \t*&]+)+(~?[A-Za-z_]\w*)\s*\(")
TRAILING = re.compile(r"^(\s*\S.*?;.*?|\s*\S.*?,)(\s+)// (.*)$")


def is_comment(line):
    return line.lstrip().startswith("//")


def ends_statement(line):
    code = line.split("//")[0].rstrip()
    return code.endswith((";", "{", "}")) or code.startswith(("#pragma", "#include")) or \
        re.fullmatch(r"\s*(?:public|protected|private)\s*:", code) is not None


def code_of(line):
    """The line without its comment and the text of its string and character literals."""
    line = re.sub(r'"(?:\\.|[^"\\])*"', '""', line)
    line = re.sub(r"'(?:\\.|[^'\\])*'", "''", line)
    return line.split("//")[0]


def in_bodies(lines):
    """For each line, whether it lies inside a function's body (or a lambda's), whose comments
    are the body's own, not entries."""
    inside, stack, pending = [], [], ""
    for line in lines:
        inside.append(bool(stack) and stack[-1])
        if line.lstrip().startswith("#"):
            continue
        for ch in code_of(line):
            if ch == "{":
                head = pending.strip()
                body = bool(stack and stack[-1]) or bool(
                    re.search(r"\)\s*(?:const|noexcept|override|final|\s|->\s*[\w:<>*& ]+)*$", head)
                    and not re.match(r"(?:if|for|while|switch)\b", head))
                stack.append(body)
                pending = ""
            elif ch == "}":
                if stack:
                    stack.pop()
                pending = ""
            elif ch == ";":
                pending = ""
            else:
                pending += ch
        pending += " "
    return inside


def statement_start(lines, end):
    """The first line of the declaration that ends at lines[end]."""
    start = end
    if lines[end].split("//")[0].strip().startswith("}"):  # a braced declaration: find its opening
        depth = 0
        for i in range(end, -1, -1):
            code = lines[i].split("//")[0]
            depth += code.count("}") - code.count("{")
            if depth == 0:
                start = i
                break
    while start > 0:
        above = lines[start - 1]
        if not above.strip() or is_comment(above) or ends_statement(above):
            break
        start -= 1
    return start


def file_comment(lines):
    """The comment opening the header (after #pragma once) becomes the file's entry."""
    if any(line.startswith("/// \\file") for line in lines):
        return lines
    out = list(lines)
    at = next((i + 1 for i, line in enumerate(out) if line.startswith("#pragma once")), 0)
    if at < len(out) and COMMENT.match(out[at]) and not out[at].startswith("///"):
        end = at
        while end < len(out) and out[end].startswith("//") and not out[end].startswith("///"):
            end += 1
        body = ["/// " + COMMENT.match(line).group(2) if COMMENT.match(line).group(2) else "///"
                for line in out[at:end]]
        # A declaration right under it would take the file's entry as its own.
        apart = [""] if end < len(out) and out[end].strip() and not out[end].startswith("#") else []
        out[at:end] = ["/// \\file"] + body + apart
    return out


def lead_comments(lines):
    """A plain comment run directly above a declaration becomes its entry."""
    out = list(lines)
    body = in_bodies(out)
    i = 0
    while i < len(out):
        if body[i]:
            i += 1
        elif COMMENT.match(out[i]) and not out[i].lstrip().startswith("///") and not CONTRACT.match(out[i]):
            end = i
            while end < len(out) and COMMENT.match(out[end]) and not out[end].lstrip().startswith("///") \
                    and not CONTRACT.match(out[end]):
                end += 1
            follows = out[end] if end < len(out) else ""
            # Above a declaration that carries its own comment, a comment heads a group: it stays.
            if follows.strip() and not is_comment(follows) and not follows.startswith("#") \
                    and "//" not in follows:
                for j in range(i, end):
                    m = COMMENT.match(out[j])
                    out[j] = m.group(1) + ("/// " + m.group(2) if m.group(2) else "///")
            i = end
        else:
            i += 1
    return out


def contracts(lines, name, complaints):
    """Each run of contract lines moves above the declaration it follows."""
    out = list(lines)
    body = in_bodies(out)
    i = 0
    while i < len(out):
        if body[i] or not CONTRACT.match(out[i]) or (i > 0 and CONTRACT.match(out[i - 1])):
            i += 1
            continue
        end = i
        while end < len(out) and CONTRACT.match(out[end]):
            end += 1
        if i == 0 or not out[i - 1].strip() or is_comment(out[i - 1]):
            complaints.append(f"{name}:{i + 1}: a contract comment under no declaration, left as it is")
            i = end
            continue
        start = statement_start(out, i - 1)
        indent = re.match(r"\s*", out[start]).group(0)
        moved = [indent + "/// " + CONTRACT.match(line).group(2) for line in out[i:end]]
        declaration = out[start:i]
        out[start:end] = moved + declaration
        i = end
    return out


def trailing_comments(lines):
    """A comment after the code of a declaration line documents that declaration."""
    out = []
    column = None  # the column of the last trailing comment, for its continuation lines
    for line, body in zip(lines, in_bodies(lines)):
        m = TRAILING.match(line)
        if body:
            column = None
        elif m and not is_comment(line) and not line.startswith("#") and "///" not in line:
            if m.group(1).rstrip().endswith("};"):  # a one-line enum: the comment goes above it
                indent = re.match(r"\s*", line).group(0)
                out.append(f"{indent}/// {m.group(3)}")
                out.append(m.group(1).rstrip())
                column = None
                continue
            line = f"{m.group(1)}{m.group(2)}///< {m.group(3)}"
            column = len(m.group(1)) + len(m.group(2))
        elif column is not None and COMMENT.match(line) and not line.lstrip().startswith("///") \
                and line.index("//") == column:
            line = line[:column] + "///< " + COMMENT.match(line).group(2)
        else:
            column = None if "///<" not in line else column
        out.append(line)
    return out


def linked_calls(lines, functions):
    """A function named in an entry is written name(), which the reference turns into a link."""
    if not functions:
        return lines
    named = re.compile(r"\b(" + "|".join(sorted(functions, key=len, reverse=True)) + r")\b(?!\(|\.h\b)")
    out = []
    for line in lines:
        at = line.find("///")
        if at >= 0 and not line.startswith("/// \\file"):
            # Not inside `code spans`: names there are text (the headless backend's request names).
            parts = line[at:].split("`")
            parts[::2] = [named.sub(r"\1()", part) for part in parts[::2]]
            line = line[:at] + "`".join(parts)
        out.append(line)
    return out


def missing_contracts(lines, name, complaints, note=""):
    """Every function declared outside a body (a prototype, an inline definition, a member) has
    its contract, a /// entry, just before it; a template's entry stands above its template line."""
    body = in_bodies(lines)
    for i, line in enumerate(lines):
        m = FUNCTION.match(code_of(line))
        if body[i] or not m or m.group(1) in ("static_assert", "TEST", "TEST_F", "TEST_P"):
            continue
        start = statement_start(lines, i)
        if start != i and not lines[start].lstrip().startswith("template"):
            continue  # the name of a function in the middle of a declaration
        above = lines[start - 1].strip() if start > 0 else ""
        if above.startswith("template"):
            above = lines[start - 2].strip() if start > 1 else ""
        if not above.startswith("///"):
            complaints.append(f"{name}:{i + 1}{note}: {m.group(1)} has no contract (a /// entry just before it)")


def restyle(text, name, complaints, functions=()):
    lines = text.split("\n")
    lines = file_comment(lines)
    lines = lead_comments(lines)
    lines = contracts(lines, name, complaints)
    lines = trailing_comments(lines)
    lines = linked_calls(lines, functions)
    # Counted in the file as restyled: where it changes, its lines move.
    missing_contracts(lines, name, complaints, "" if "\n".join(lines) == text else " (once restyled)")
    return "\n".join(lines)


def public_functions():
    """The names of the functions the installed headers declare."""
    names = set()
    for f in headers(PUBLIC_PATHS, INTERNAL):
        names.update(DECLARED.findall(f.read_text()))
    return names - {"static_assert"}


def headers(paths, skipped=()):
    """The headers below the paths (a file named is taken as it is), but those in folders skipped
    and in the top-level folders SKIPPED names the start of."""
    for path in paths:
        p = (ROOT / path) if not pathlib.Path(path).is_absolute() else pathlib.Path(path)
        found = sorted(p.rglob("*.h")) if p.is_dir() else [p]
        for f in found:
            rel = f.resolve().relative_to(ROOT).as_posix()
            left_out = any(rel.startswith(s + "/") for s in skipped) or \
                any(rel.split("/")[0].startswith(s) for s in SKIPPED if "/" in rel)
            if not left_out or p.is_file():
                yield f


def main(argv):
    check = "--check" in argv
    paths = [a for a in argv if a != "--check"] or DEFAULT_PATHS
    complaints, changed = [], []
    functions = public_functions()
    for f in headers(paths):
        before = f.read_text()
        after = restyle(before, f.relative_to(ROOT).as_posix(), complaints, functions)
        if after != before:
            changed.append(f.relative_to(ROOT).as_posix())
            if not check:
                f.write_text(after)
    for c in complaints:
        print(c, file=sys.stderr)
    for c in changed:
        print(("would restyle " if check else "restyled ") + c)
    return 1 if check and (changed or complaints) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

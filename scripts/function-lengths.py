#!/usr/bin/env python3
"""Lists C++ functions longer than a number of lines (default 120) in the
computing cores, or in the folders given. Exits with 1 when it finds one.

A rough reading, good enough for our own sources: comments and literals are
blanked, and a brace that follows a closing parenthesis (or const, override,
noexcept) outside any other function body opens a function. Lambdas count
towards the function they are in.

  scripts/function-lengths.py [--limit N] [folder ...]
"""
import argparse
import os
import re
import sys

CORES = ["measure/records", "measure/compute", "measure/model", "measure/shell", "common"]


def blank_comments_and_literals(text):
    out, i, n = [], 0, len(text)
    while i < n:
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif text[i] in "\"'":
            quote, j = text[i], i + 1
            while j < n and text[j] != quote:
                j += 2 if text[j] == "\\" else 1
            out.append(quote * 2)
            i = j + 1
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


OPENS_FUNCTION = re.compile(r"\)\s*(?:const|override|noexcept|final|\s)*$")
OPENS_STATEMENT = re.compile(r"\b(?:if|for|while|switch|catch)\s*\([^;{}]*\)\s*$")


def long_functions(path, limit):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = blank_comments_and_literals(f.read())
    stack = []  # (offset, opens a function)
    for m in re.finditer(r"[{}]", text):
        if m.group() == "{":
            before = text[: m.start()].rstrip()
            stack.append((m.start(), bool(OPENS_FUNCTION.search(before))
                          and not OPENS_STATEMENT.search(before)))
            continue
        if not stack:
            continue
        start, is_function = stack.pop()
        if not is_function or any(f for _, f in stack):
            continue
        lines = text.count("\n", start, m.end()) + 1
        if lines > limit:
            head = text[: start].rstrip()
            name_at = head.rfind("(")
            line_start = head.rfind("\n", 0, max(name_at, 0)) + 1
            yield text.count("\n", 0, start) + 1, lines, " ".join(head[line_start:].split())[:90]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--limit", type=int, default=120)
    parser.add_argument("folders", nargs="*", default=CORES)
    args = parser.parse_args()
    found = False
    for folder in args.folders:
        for root, _, files in os.walk(folder):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(root, name)
                for line, lines, head in long_functions(path, args.limit):
                    print(f"{path}:{line}: {lines} lines: {head}")
                    found = True
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Installs the build tree into a fresh prefix and checks what a desktop
finds there: the programs, the shipped data, the menu entries (validated),
the file types (parsed, and their magic tried on files the programs write)
and the icons in every size. Usage: check_install.py BUILD_DIR"""

import configparser
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PROGRAMS = ["Vistamet", "GeoReckon", "vistamet-cli", "georeckon-cli"]
APP_ICONS = ["vistamet", "georeckon"]
TYPE_ICONS = ["application-x-vistamet-project", "application-x-georeckon-document"]
SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
ENTRIES = {
    "vistamet.desktop": ("Vistamet", "application/x-vistamet-project"),
    "georeckon.desktop": ("GeoReckon", "application/x-georeckon-document"),
}

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def check_programs(prefix):
    for name in PROGRAMS:
        path = os.path.join(prefix, "bin", name)
        check(os.path.isfile(path) and os.access(path, os.X_OK), f"bin/{name} is not installed")
    guide = os.path.join(prefix, "share/vistamet/Vistamet-manual.html")
    check(os.path.isfile(guide) and os.path.getsize(guide) > 0, "the user's guide is missing")


def check_entries(prefix):
    folder = os.path.join(prefix, "share/applications")
    for name, (program, mime) in ENTRIES.items():
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            check(False, f"{name} is not installed")
            continue
        run = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
        check(run.returncode == 0 and "error" not in run.stdout,
              f"{name} does not validate: {run.stdout}{run.stderr}")
        entry = configparser.RawConfigParser(strict=True)
        entry.optionxform = str
        entry.read(path, encoding="utf-8")
        keys = entry["Desktop Entry"]
        # The installed program, by its path.
        exec_line = keys.get("Exec", "")
        check(exec_line == f'"{prefix}/bin/{program}" %f',
              f"{name} does not start the installed {program}: {exec_line}")
        check(mime in keys.get("MimeType", "").split(";"), f"{name} does not name {mime}")
        for key in ("Name", "Comment", "Name[zh_CN]", "Comment[zh_CN]"):
            check(keys.get(key, "") != "", f"{name} has no {key}")
        check(keys.get("Icon") in APP_ICONS, f"{name} names no installed icon")


def magic_matches(mime_type, data):
    """Whether `data` matches one of the type's magic rules (string matches,
    nested rules all needed, an offset 'a:b' tried at each start)."""

    def match(rule):
        value = rule.get("value").encode("utf-8")
        first, _, last = rule.get("offset").partition(":")
        starts = range(int(first), int(last or first) + 1)
        if not any(data[s:s + len(value)] == value for s in starts):
            return False
        children = rule.findall(MIME_NS + "match")
        return not children or any(match(c) for c in children)

    return any(match(rule) for magic in mime_type.findall(MIME_NS + "magic")
               for rule in magic.findall(MIME_NS + "match"))


def check_mime(prefix, work):
    path = os.path.join(prefix, "share/mime/packages/vistamet.xml")
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        check(False, f"the file types do not parse: {e}")
        return
    types = {t.get("type"): t for t in root.findall(MIME_NS + "mime-type")}
    globs = {t: [g.get("pattern") for g in e.findall(MIME_NS + "glob")] for t, e in types.items()}
    check(globs.get("application/x-vistamet-project") == ["*.vmt"], "no *.vmt type")
    check(globs.get("application/x-georeckon-document") == ["*.grk"], "no *.grk type")
    for t, e in types.items():
        icon = e.find(MIME_NS + "icon")
        check(icon is not None and icon.get("name") in TYPE_ICONS, f"{t} names no installed icon")

    # The magic must know a project the installed program writes.
    cli = os.path.join(prefix, "bin/vistamet-cli")
    sample = os.path.join(work, "sample")
    run = subprocess.run([cli, "make-sample", sample], capture_output=True)
    project = os.path.join(sample, "sample.vmt")
    if run.returncode != 0 or not os.path.isfile(project):
        check(False, "the installed vistamet-cli wrote no sample project")
    else:
        with open(project, "rb") as f:
            data = f.read(64)
        check(magic_matches(types["application/x-vistamet-project"], data),
              "the project magic misses a written project")
        check(not magic_matches(types["application/x-georeckon-document"], data),
              "the GeoReckon magic takes a project")
    grk = b"GeoReckon\r\n1.0\r\n"
    check(magic_matches(types["application/x-georeckon-document"], grk),
          "the GeoReckon magic misses a document")
    check(not magic_matches(types["application/x-vistamet-project"], b"1.0\n1.0\nOther\n"),
          "the project magic takes another program's file")

    # The desktop's own tool compiles the package.
    if shutil.which("update-mime-database"):
        db = os.path.join(work, "mime")
        os.makedirs(os.path.join(db, "packages"))
        shutil.copy(path, os.path.join(db, "packages"))
        run = subprocess.run(["update-mime-database", db], capture_output=True, text=True)
        check(run.returncode == 0 and "warning" not in run.stderr.lower(),
              f"update-mime-database refuses the file types: {run.stderr}")


def check_icons(prefix):
    base = os.path.join(prefix, "share/icons/hicolor")
    for context, names in (("apps", APP_ICONS), ("mimetypes", TYPE_ICONS)):
        for name in names:
            svg = os.path.join(base, "scalable", context, name + ".svg")
            try:
                check(ET.parse(svg).getroot().tag.endswith("svg"), f"{svg} is no drawing")
            except (OSError, ET.ParseError):
                check(False, f"{svg} is missing or unreadable")
            for size in SIZES:
                png = os.path.join(base, f"{size}x{size}", context, name + ".png")
                got = png_size(png) if os.path.isfile(png) else None
                check(got == (size, size), f"{png}: {got} instead of {size}x{size}")


def main():
    build = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        prefix = os.path.join(work, "prefix")
        run = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                             capture_output=True, text=True)
        if run.returncode != 0:
            print("install failed:", run.stdout, run.stderr)
            return 1
        check_programs(prefix)
        check_entries(prefix)
        check_mime(prefix, work)
        check_icons(prefix)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

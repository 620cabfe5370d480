#!/usr/bin/env python3
"""Checks the bundled office templates.

    office_templates_test.py structure SOURCE_DIR   every package is a well-formed OOXML package
    office_templates_test.py generated SOURCE_DIR   the committed files are what the tool writes
"""
import posixpath
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile
from pathlib import Path

NS_CT = "{http://schemas.openxmlformats.org/package/2006/content-types}"
NS_REL = "{http://schemas.openxmlformats.org/package/2006/relationships}"
OFFICE_DOCUMENT = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"
ML = "application/vnd.openxmlformats-officedocument."
MAIN_TYPES = {
    "blank.docx": ML + "wordprocessingml.document.main+xml",
    "blank.xlsx": ML + "spreadsheetml.sheet.main+xml",
    "blank.pptx": ML + "presentationml.presentation.main+xml",
}

failures = []


def fail(message):
    failures.append(message)


def rels_part_of(part):
    folder, name = posixpath.split(part)
    return posixpath.join(folder, "_rels", name + ".rels")


def check_package(path):
    name = path.name
    try:
        package = zipfile.ZipFile(path)
    except zipfile.BadZipFile as error:
        return fail(f"{name}: not a zip file ({error})")
    if package.testzip() is not None:
        return fail(f"{name}: damaged entry {package.testzip()}")
    parts = set(package.namelist())
    if package.namelist()[0] != "[Content_Types].xml":
        fail(f"{name}: [Content_Types].xml is not the first entry")

    trees = {}
    for part in sorted(parts):
        try:
            trees[part] = ET.fromstring(package.read(part))
        except ET.ParseError as error:
            fail(f"{name}: {part} is not well-formed XML ({error})")
    if "[Content_Types].xml" not in trees:
        return fail(f"{name}: no [Content_Types].xml")

    types = trees["[Content_Types].xml"]
    defaults = {d.get("Extension"): d.get("ContentType") for d in types.iter(NS_CT + "Default")}
    overrides = {o.get("PartName").lstrip("/"): o.get("ContentType") for o in types.iter(NS_CT + "Override")}
    for part in overrides:
        if part not in parts:
            fail(f"{name}: content type given for missing part {part}")

    def content_type(part):
        return overrides.get(part) or defaults.get(part.rsplit(".", 1)[-1])

    for part in parts - {"[Content_Types].xml"}:
        if not content_type(part):
            fail(f"{name}: {part} has no content type")

    # Every relationship of every part leads to a part of the package.
    for part in parts:
        if "/_rels/" not in "/" + part or not part.endswith(".rels"):
            continue
        source_folder = posixpath.dirname(posixpath.dirname(part))
        for rel in trees.get(part, ET.Element("x")).iter(NS_REL + "Relationship"):
            if rel.get("TargetMode") == "External":
                continue
            target = posixpath.normpath(posixpath.join(source_folder, rel.get("Target")))
            if target not in parts:
                fail(f"{name}: {part} points at missing part {target}")

    package_rels = trees.get("_rels/.rels")
    if package_rels is None:
        return fail(f"{name}: no _rels/.rels")
    mains = [r.get("Target") for r in package_rels.iter(NS_REL + "Relationship")
             if r.get("Type") == OFFICE_DOCUMENT]
    if len(mains) != 1:
        return fail(f"{name}: {len(mains)} main parts")
    main = mains[0].lstrip("/")
    if content_type(main) != MAIN_TYPES[name]:
        fail(f"{name}: main part {main} has content type {content_type(main)}")
    for core in ("docProps/core.xml", "docProps/app.xml"):
        if core not in parts:
            fail(f"{name}: no {core}")

    main_xml = trees.get(main)
    if main_xml is None:
        return
    if name == "blank.xlsx":
        sheets = [s.get("name") for s in main_xml.iter() if s.tag.endswith("}sheet")]
        if sheets != ["Sheet1"]:
            fail(f"{name}: sheets {sheets}, expected one named Sheet1")
    if name == "blank.pptx":
        slides = [s for s in main_xml.iter() if s.tag.endswith("}sldId")]
        if len(slides) != 1:
            fail(f"{name}: {len(slides)} slides, expected one")
        for needed in ("ppt/theme/theme1.xml", "ppt/slideMasters/slideMaster1.xml",
                       "ppt/slideLayouts/slideLayout1.xml"):
            if needed not in parts:
                fail(f"{name}: no {needed}")
    if name == "blank.docx":
        if "word/styles.xml" not in parts:
            fail(f"{name}: no styles")


def check_structure(source):
    for name in MAIN_TYPES:
        path = source / "resources" / name
        if not path.is_file():
            fail(f"missing {path}")
            continue
        check_package(path)


def check_generated(source):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([sys.executable, str(source / "tools" / "make_office_templates.py"), out],
                       check=True, stdout=subprocess.DEVNULL)
        for name in MAIN_TYPES:
            committed = (source / "resources" / name).read_bytes()
            generated = (Path(out) / name).read_bytes()
            if committed != generated:
                fail(f"resources/{name} differs from what tools/make_office_templates.py writes; "
                     "run the tool and commit its output")


def main():
    mode, source = sys.argv[1], Path(sys.argv[2])
    {"structure": check_structure, "generated": check_generated}[mode](source)
    for message in failures:
        print("FAIL:", message)
    if not failures:
        print(f"office templates: {mode} ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

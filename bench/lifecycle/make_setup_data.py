#!/usr/bin/env python3
"""make_setup_data.py SAMPLE_SETUP_DIR PRODUCT_DIR OUT_DIR

The setup data of a vendor whose product is the folder PRODUCT_DIR (the benchmark's reference
payload): the sample's languages, licenses and pictures, and an "Install.xml" whose
components are every file of PRODUCT_DIR, in path order. Actions and shortcuts of the sample
are kept where their target is one of those files (or the uninstaller)."""

import os
import shutil
import sys
import xml.etree.ElementTree as ET


def group(root, name):
    for product in root.iter("product"):
        for child in product:
            if child.tag.lower() == name.lower():
                return child
    raise SystemExit(f"the sample's script has no {name} group")


def main(sample_setup, product, out):
    os.makedirs(out, exist_ok=True)
    for name in os.listdir(sample_setup):
        if name.lower() != "install.xml":
            shutil.copy2(os.path.join(sample_setup, name), os.path.join(out, name))

    files = sorted(os.path.relpath(os.path.join(folder, name), product).replace(os.sep, "\\")
                   for folder, _, names in os.walk(product) for name in names)
    tree = ET.parse(os.path.join(sample_setup, "Install.xml"))
    root = tree.getroot()
    components = group(root, "Components")
    components.clear()
    for path in files:
        ET.SubElement(components, "File", name="$DEST\\" + path).text = path
    shipped = {("$DEST\\" + path).lower() for path in files} | {"$dest\\uninstall.exe"}
    for name in ("Actions", "Shortcuts"):
        entries = group(root, name)
        for entry in list(entries):
            target = (entry.text or "").strip() if name == "Shortcuts" else entry.get("name", "")
            if target.lower() not in shipped:
                entries.remove(entry)
    ET.indent(tree)
    text = ET.tostring(root, encoding="utf-8", xml_declaration=True)
    # Rewritten only when it changes: a new file would make the build re-pack both packages.
    script = os.path.join(out, "Install.xml")
    if not os.path.isfile(script) or open(script, "rb").read() != text:
        with open(script, "wb") as f:
            f.write(text)
    print(f"setup data: {len(files)} components")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    main(*sys.argv[1:])

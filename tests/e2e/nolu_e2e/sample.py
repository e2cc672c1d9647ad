"""What the sample product "Nolu" installs, read from its sources and its build, so that the
scenarios compare what Setup.exe did with what the product's script and packages say rather
than with a second copy of them.

    product = SampleProduct(checkout, build_dir)
    product.components("DE")          # [Component("Readme.txt", "Docs\\DE\\Readme.txt"), ...]
    product.package_file("Nolu.exe")  # the staged file the PRODUCT package was made of

INI texts (the uninstall record, "Nolu.ini") are read with `parse_ini`, which keeps the order
of sections and keys as the setup writes them.
"""

import os
import subprocess
import xml.etree.ElementTree as ET

from .errors import HarnessError

DEST = "$DEST\\"


class Component:
    """One file of the script's components: its path below the destination and the name of
    its entry in the PRODUCT package."""

    def __init__(self, target, entry, family):
        self.target = target
        self.entry = entry
        self.family = family

    def __repr__(self):
        return f"Component({self.target!r}, {self.entry!r}, {self.family!r})"


class Shortcut:
    """One entry of the script's shortcuts: the link's path and its target, with variables."""

    def __init__(self, link, target):
        self.link = link
        self.target = target


def _children(element, name):
    """The child elements named `name`, ignoring ASCII case as the setup's script reader does."""
    return [c for c in element if c.tag.lower() == name.lower()]


def _group(root, name):
    product = _children(root, "product")
    groups = _children(product[0], name) if product else []
    return groups[0] if groups else None


class SampleProduct:
    def __init__(self, checkout, build_dir):
        self.checkout = checkout
        self.build_dir = build_dir
        self.script_path = os.path.join(checkout, "sample", "setup", "Install.xml")
        self.packages_dir = os.path.join(build_dir, "src", "app", "Setup_packages")
        self._root = ET.parse(self.script_path).getroot()

    # ------------------------------------------------------------------ the script

    def setting(self, name):
        for element in _children(_group(self._root, "Settings"), "Setting"):
            if element.get("name", "").lower() == name.lower():
                return element.get("value", "")
        return ""

    @property
    def name(self):
        return self.setting("ProductName")

    def all_components(self):
        """Every file of the components, in script order, whatever its language family."""
        found = []
        for element in _children(_group(self._root, "Components"), "File"):
            name = element.get("name", "")
            if not name.startswith(DEST):
                raise HarnessError(f"component {name!r} of {self.script_path} does not lie in "
                                   "$DEST: the scenarios do not know where to look for it")
            target = name[len(DEST):]
            entry = (element.text or "").strip() or target.rsplit("\\", 1)[-1]
            found.append(Component(target, entry, element.get("lang-family", "")))
        return found

    def components(self, family):
        """The files a run of the language family ("EN", "DE", "RU") installs, in script
        order: those without a family and those of that family."""
        return [c for c in self.all_components()
                if not c.family or c.family.lower() == family.lower()]

    def shortcuts(self):
        return [Shortcut(e.get("name", ""), (e.text or "").strip())
                for e in _children(_group(self._root, "Shortcuts"), "File")]

    def actions(self):
        return [e.get("name", "") for e in _children(_group(self._root, "Actions"), "File")]

    # ------------------------------------------------------------------ the build

    @property
    def product_package(self):
        """The PRODUCT package file that the build embedded into Setup.exe."""
        return self._built(os.path.join(self.packages_dir, "PRODUCT.ipk5"))

    def package_file(self, entry):
        """The file the PRODUCT package's entry was made of (the staged package content)."""
        return self._built(os.path.join(self.packages_dir, "product", *entry.split("\\")))

    def setuptool(self, *args):
        """Runs the host's setuptool (built by the Windows build for its packages); returns its
        standard output as bytes and raises HarnessError when it fails."""
        tool = self._built(os.path.join(self.build_dir, "host-tools", "bin", "setuptool"))
        done = subprocess.run([tool, *args], stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=120, check=False)
        if done.returncode != 0:
            raise HarnessError(f"setuptool {' '.join(args)} failed: "
                               f"{done.stderr.decode('utf-8', 'replace').strip()}")
        return done.stdout

    def read_package_entry(self, package, entry):
        """One entry of a package file (a Unix path) as bytes."""
        return self.setuptool("cat", package, entry)

    def pack(self, package, folder, level=4):
        """Makes the package file `package` of the files of `folder` (default key)."""
        self.setuptool("pack", package, folder, "--level", str(level))

    @staticmethod
    def _built(path):
        if not os.path.exists(path):
            raise HarnessError(f"{path} is not built (cmake --build --preset windows)")
        return path


def decode_ini(data):
    """An INI file's bytes as text: UTF-16 with its byte-order mark, else UTF-8 (with or
    without its mark)."""
    if data.startswith(b"\xff\xfe") or data.startswith(b"\xfe\xff"):
        return data.decode("utf-16")
    return data.decode("utf-8-sig")


def parse_ini(text):
    """{section: {key: value}} in file order; the setup's dialect: the first '=' splits a
    line, section and key names are kept as written, a later duplicate key wins."""
    sections = {}
    current = None
    for line in text.splitlines():
        stripped = line.strip()
        if not stripped or stripped.startswith(";"):
            continue
        if stripped.startswith("[") and stripped.endswith("]"):
            current = sections.setdefault(stripped[1:-1], {})
            continue
        if current is None or "=" not in line:
            continue
        key, value = line.split("=", 1)
        current[key] = value
    return sections


def uninstall_record_paths(record):
    """The paths the "Uninstall" section of a parsed record lists, in order ("0" to
    Count - 1)."""
    section = record.get("Uninstall", {})
    count = int(section.get("Count", "0"))
    return [section.get(str(i)) for i in range(count)]

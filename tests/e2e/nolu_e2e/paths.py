"""Windows paths of a Wine prefix and the Unix paths they stand for.

Windows compares names ignoring case while the Unix folders below a prefix do not, so a
Windows path is resolved one component at a time, taking an existing entry that matches
ignoring case when the exact name is not there.
"""

import ntpath
import os


def split_windows_path(path):
    """'C:\\Program Files\\Nolu\\' -> ('c', ['Program Files', 'Nolu'])."""
    drive, rest = ntpath.splitdrive(path)
    # "C:" alone or "C:x" is relative to the drive's current folder, which a test cannot mean.
    if len(drive) != 2 or drive[1] != ":" or not drive[0].isalpha() or \
            not rest.startswith(("\\", "/")):
        raise ValueError(f"not an absolute Windows path with a drive letter: {path!r}")
    parts = [p for p in rest.replace("/", "\\").split("\\") if p not in ("", ".")]
    if ".." in parts:
        raise ValueError(f"'..' in {path!r}: give the path as Windows would resolve it")
    return drive[0].lower(), parts


def resolve_component(folder, name):
    """The entry of `folder` named `name`, ignoring case as Windows does (exact name first)."""
    exact = os.path.join(folder, name)
    if os.path.lexists(exact) or not os.path.isdir(folder):
        return exact
    wanted = name.casefold()
    for entry in sorted(os.listdir(folder)):
        if entry.casefold() == wanted:
            return os.path.join(folder, entry)
    return exact


def windows_to_unix(prefix_dir, path):
    """The Unix path of a Windows path inside the prefix `prefix_dir` (through dosdevices)."""
    drive, parts = split_windows_path(path)
    root = os.path.realpath(os.path.join(prefix_dir, "dosdevices", drive + ":"))
    current = root
    for part in parts:
        current = resolve_component(current, part)
    return current


def unix_to_windows(prefix_dir, path):
    """A Windows path for a Unix path, through the drive whose folder holds it most closely
    (drive_c for C:, / for Z: in a standard prefix)."""
    real = os.path.realpath(path)
    devices = os.path.join(prefix_dir, "dosdevices")
    best = None
    for entry in os.listdir(devices):
        if len(entry) != 2 or entry[1] != ":" or not entry[0].isalpha():
            continue
        root = os.path.realpath(os.path.join(devices, entry))
        if real == root or real.startswith(root.rstrip(os.sep) + os.sep):
            if best is None or len(root) > len(best[1]):
                best = (entry[0].upper(), root)
    if best is None:
        raise ValueError(f"no drive of the prefix {prefix_dir} holds {path}")
    rel = os.path.relpath(real, best[1])
    return best[0] + ":\\" + ("" if rel == "." else rel.replace(os.sep, "\\"))

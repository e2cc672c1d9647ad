"""Folder trees as Windows sees them: relative paths with backslashes, compared ignoring
case unless asked otherwise, and differences described for a failure message."""

import filecmp
import os


class TreeListing:
    """The files (with sizes) and folders below a root, by relative Windows path."""

    def __init__(self, files, dirs):
        self.files = files
        self.dirs = dirs

    def __repr__(self):
        return f"TreeListing({len(self.files)} files, {len(self.dirs)} folders)"

    @property
    def total_size(self):
        return sum(self.files.values())


def list_tree(root):
    """Everything below the Unix folder `root`; symbolic links are listed, not followed."""
    files = {}
    dirs = set()
    for folder, subdirs, names in os.walk(root):
        rel = os.path.relpath(folder, root)
        base = "" if rel == "." else rel.replace(os.sep, "\\") + "\\"
        for name in subdirs:
            dirs.add(base + name)
        for name in names:
            files[base + name] = os.lstat(os.path.join(folder, name)).st_size
        subdirs.sort()
    return TreeListing(files, dirs)


def empty_folders(listing):
    """The folders of a listing that hold nothing at all, each with a closing backslash (so
    they read apart from files in a list of paths)."""
    holding = set()
    for path in (*listing.files, *listing.dirs):
        parts = path.split("\\")
        holding.update("\\".join(parts[:i]) for i in range(1, len(parts)))
    return sorted(d + "\\" for d in listing.dirs if d not in holding)


class TreeDiff:
    def __init__(self, missing=(), unexpected=(), different=()):
        self.missing = sorted(missing)
        self.unexpected = sorted(unexpected)
        self.different = sorted(different)

    def __bool__(self):
        return bool(self.missing or self.unexpected or self.different)

    def describe(self, limit=25):
        """'missing (2): a, b; unexpected (1): c' with at most `limit` names per list."""
        parts = []
        for label, names in (("missing", self.missing), ("unexpected", self.unexpected),
                             ("different content", self.different)):
            if not names:
                continue
            shown = ", ".join(names[:limit])
            more = f", ... {len(names) - limit} more" if len(names) > limit else ""
            parts.append(f"{label} ({len(names)}): {shown}{more}")
        return "; ".join(parts) or "no differences"


def _key(path, ignore_case):
    path = path.replace("/", "\\").strip("\\")
    return path.casefold() if ignore_case else path


def diff_paths(expected, actual, ignore_case=True):
    """Compares two collections of relative paths; each side keeps its own spelling in the
    result."""
    expected_keys = {_key(p, ignore_case): p for p in expected}
    actual_keys = {_key(p, ignore_case): p for p in actual}
    return TreeDiff(
        missing=[expected_keys[k] for k in expected_keys.keys() - actual_keys.keys()],
        unexpected=[actual_keys[k] for k in actual_keys.keys() - expected_keys.keys()])


def diff_listings(before, after):
    """What changed between two listings of one folder: files and folders that went or came,
    files whose size changed (compared exactly, case included)."""
    diff = diff_paths([*before.files, *before.dirs], [*after.files, *after.dirs],
                      ignore_case=False)
    diff.different = sorted(p for p, size in before.files.items()
                            if p in after.files and after.files[p] != size)
    return diff


def compare_folders(expected_root, actual_root, contents=True, ignore_case=True):
    """Files missing from, added to or (with `contents`) different in `actual_root` against
    `expected_root`; folders count only when they hold no file (empty folders matter to an
    installer too)."""
    expected = list_tree(expected_root)
    actual = list_tree(actual_root)

    def entries(listing):
        return set(listing.files) | {d.rstrip("\\") for d in empty_folders(listing)}

    diff = diff_paths(entries(expected), entries(actual), ignore_case)
    if contents:
        actual_by_key = {_key(p, ignore_case): p for p in actual.files}
        for path in expected.files:
            other = actual_by_key.get(_key(path, ignore_case))
            if other is None:
                continue
            if not filecmp.cmp(os.path.join(expected_root, *path.split("\\")),
                               os.path.join(actual_root, *other.split("\\")), shallow=False):
                diff.different.append(path)
        diff.different.sort()
    return diff

#!/usr/bin/env python3
"""Checks the language files in resources/Language and the help folders they name.

For every *.lng file (GB.lng must be among them) it verifies that:
  - the file is UTF-8 without a byte-order mark and has the sections Strings,
    BrevantWindow and Infos;
  - section Strings defines every key of resources/Language/keys.txt exactly once,
    with a non-empty value, and no key that the list does not hold;
  - values keep their text when read back by an INI reader (no leading or trailing
    blanks, not wrapped in quotes, which such readers strip);
  - the texts used as printf-style patterns hold their placeholders in the order and
    of the types the program passes, and no other placeholder;
  - Panel_Mb, Panel_Kb and SizeToTransfer hold no percent sign (they are pasted into
    a pattern);
  - Freq_Radio gives three lines and Comp_Memo at least two;
  - a hint holds at most one "|" (short text | long text);
  - BecauseSize and BecauseWarning end with a line break (the report lists file names
    right after them);
  - BrevantForm is set and Infos/Helpfile names a ".chm" file whose folder
    resources/Help/<name without .chm>/ exists, with an index.txt that maps each help
    keyword (the values of H_Choisir, H_Retouche, H_Transfert, H_Coordonnees) to a page
    present in that folder, and whose pages link only to pages that exist.

Usage: check-language-files.py [REPO_ROOT]
Exits 0 when everything holds, 1 with one line per fault otherwise.
"""

import re
import sys
from pathlib import Path

# Placeholder types of the texts that the program uses as printf-style patterns:
# "s" a text, "d" a whole number, "f" a floating-point number.
PATTERNS = {
    "BadPictErr": ["s"],
    "BadNoTransfer": ["s"],
    "SamePhotoAgain": ["s"],
    "BadAlbumChars": ["s"],
    "DelAlbum": ["s"],
    "ImgInAlbum": ["d", "s", "s"],
    "ImgWaiting": ["d", "s"],
    "ToTransfer": ["d", "s"],
    "ImgFromAlbum": ["s"],
    "EstimTime": ["f"],
    "ListSetAside": ["s", "s"],
    "ListNotMoved": ["s", "s"],
    "WriteFileErr": ["s", "s"],
    "ConnectionWait": ["d"],
    "AllPhotosSent": ["d", "s"],
    "NotifyRunEnded": ["d", "d"],
    "PrintGood": ["s"],
    "PrintFair": ["d"],
    "PrintSmall": ["d"],
    "SmallPhotosOne": ["d"],
    "SmallPhotosMany": ["d"],
    "CropDpi": ["d"],
    "SmallerThanAccepted": ["s", "s"],
    "LargerThanAccepted": ["s", "s"],
    "SystemProxy": ["s", "s"],
    "OptionsProxy": ["s"],
}
NO_PERCENT = ["Panel_Mb", "Panel_Kb", "SizeToTransfer"]
LINE_COUNTS = {"Freq_Radio": (3, 3), "Comp_Memo": (2, 20)}
ENDS_WITH_BREAK = ["BecauseSize", "BecauseWarning", "BecauseNotVerified", "BecauseEndedEarly"]
HELP_KEYWORD_KEYS = ["H_Choisir", "H_Retouche", "H_Transfert", "H_Coordonnees"]

# One printf conversion: flags, width, precision, then the conversion letter.
CONVERSION = re.compile(r"%([-+ #0]*)(\d*)(?:\.(\d+))?([A-Za-z%]?)")
TYPE_OF = {"s": "s", "d": "d", "i": "d", "f": "f"}


def placeholders(value):
    """Returns the list of placeholder types in value, or raises ValueError."""
    found = []
    for m in CONVERSION.finditer(value):
        letter = m.group(4)
        if letter == "%" and not (m.group(1) or m.group(2) or m.group(3)):
            continue  # a literal percent sign
        if letter not in TYPE_OF:
            raise ValueError(f"unsupported placeholder {m.group(0)!r}")
        found.append(TYPE_OF[letter])
    return found


def read_ini(path, faults):
    """Reads an INI file into {section: [(key, value, line number)]} (section names lower-cased)."""
    raw = path.read_bytes()
    if raw.startswith(b"\xef\xbb\xbf"):
        faults.append(f"{path.name}: starts with a UTF-8 byte-order mark")
        raw = raw[3:]
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        faults.append(f"{path.name}: not valid UTF-8 ({e})")
        text = raw.decode("utf-8", errors="replace")
    sections = {}
    current = None
    for number, line in enumerate(text.splitlines(), 1):
        stripped = line.strip()
        if not stripped or stripped.startswith(";"):
            continue
        if stripped.startswith("[") and stripped.endswith("]"):
            current = stripped[1:-1].strip().lower()
            sections.setdefault(current, [])
            continue
        if "=" not in line:
            faults.append(f"{path.name}:{number}: line is neither a section nor key=value")
            continue
        if current is None:
            faults.append(f"{path.name}:{number}: key before any section")
            continue
        key, value = line.split("=", 1)
        sections[current].append((key.strip(), value, number))
    return sections


def check_value_survives_reader(name, key, value, number, faults):
    if value != value.strip():
        faults.append(f"{name}:{number}: {key} has leading or trailing blanks")
    v = value.strip()
    if len(v) >= 2 and v[0] == v[-1] and v[0] in "'\"":
        faults.append(f"{name}:{number}: {key} is wrapped in quotes, which INI readers strip")
    if len(value) > 2047:
        faults.append(f"{name}:{number}: {key} is longer than 2047 characters")


def check_help(root, name, helpfile, strings, faults):
    if not helpfile.lower().endswith(".chm"):
        faults.append(f"{name}: Infos/Helpfile {helpfile!r} does not end in .chm")
        return
    folder = root / "resources" / "Help" / helpfile[: -len(".chm")]
    index = folder / "index.txt"
    if not index.is_file():
        faults.append(f"{name}: help index {index.relative_to(root)} is missing")
        return
    keywords = {}
    for number, line in enumerate(index.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        if "=" not in line:
            faults.append(f"{index.relative_to(root)}:{number}: not keyword=page.html")
            continue
        keyword, page = (part.strip() for part in line.split("=", 1))
        keywords[keyword.lower()] = page
        if not (folder / page).is_file():
            faults.append(f"{index.relative_to(root)}:{number}: page {page} does not exist")
    for page in sorted(folder.glob("*.html")):
        for target in re.findall(r'href="([^"#:]+)', page.read_text(encoding="utf-8")):
            if not (folder / target).is_file():
                faults.append(f"{page.relative_to(root)}: link to missing page {target}")
    if not (folder / "index.html").is_file():
        faults.append(f"{folder.relative_to(root)}: index.html (table of contents) is missing")
    for key in HELP_KEYWORD_KEYS:
        keyword = strings.get(key, "")
        if keyword and keyword.lower() not in keywords:
            faults.append(f"{name}: help keyword {keyword!r} of {key} is not in {index.relative_to(root)}")


def check_file(root, path, expected_keys, faults):
    name = path.name
    sections = read_ini(path, faults)
    for section in ("strings", "brevantwindow", "infos"):
        if section not in sections:
            faults.append(f"{name}: section [{section}] is missing")

    strings = {}
    for key, value, number in sections.get("strings", []):
        if key in strings:
            faults.append(f"{name}:{number}: key {key} is defined twice")
            continue
        strings[key] = value
        check_value_survives_reader(name, key, value, number, faults)
        if key not in expected_keys:
            faults.append(f"{name}:{number}: key {key} is not in keys.txt")
    for key in expected_keys:
        if key not in strings:
            faults.append(f"{name}: key {key} is missing from [Strings]")
        elif not strings[key].strip():
            faults.append(f"{name}: key {key} has an empty value")

    for key, wanted in PATTERNS.items():
        if key not in strings:
            continue
        try:
            got = placeholders(strings[key])
        except ValueError as e:
            faults.append(f"{name}: {key}: {e}")
            continue
        if got != wanted:
            faults.append(
                f"{name}: {key} has placeholders {got or 'none'} but the program passes {wanted}"
                f" (value: {strings[key]!r})")
    for key in NO_PERCENT:
        if "%" in strings.get(key, ""):
            faults.append(f"{name}: {key} must not contain a percent sign")
    for key, (low, high) in LINE_COUNTS.items():
        if key in strings:
            lines = strings[key].split("\\n")
            if not low <= len(lines) <= high or any(not line.strip() for line in lines):
                faults.append(f"{name}: {key} must give {low}" + (f" to {high}" if high != low else "")
                              + f" non-empty lines separated by \\n, has {len(lines)}")
    for key in ENDS_WITH_BREAK:
        if key in strings and not strings[key].endswith("\\n"):
            faults.append(f"{name}: {key} must end with \\n (file names follow it in the report)")
    for key, value in strings.items():
        if (key.startswith(("Hint_", "ToolH_")) or (key.endswith("H") and key[:-1] + "C" in strings)) \
                and value.count("|") > 1:
            faults.append(f"{name}: hint {key} holds more than one '|'")

    window = {k: v for k, v, _ in sections.get("brevantwindow", [])}
    if not window.get("BrevantForm", "").strip():
        faults.append(f"{name}: BrevantWindow/BrevantForm is missing or empty")
    infos = {k: v for k, v, _ in sections.get("infos", [])}
    helpfile = infos.get("Helpfile", "").strip()
    if not helpfile:
        faults.append(f"{name}: Infos/Helpfile is missing or empty")
    else:
        check_help(root, name, helpfile, strings, faults)


def main(argv):
    root = Path(argv[1]) if len(argv) > 1 else Path(__file__).resolve().parent.parent
    folder = root / "resources" / "Language"
    faults = []
    keys_file = folder / "keys.txt"
    if not keys_file.is_file():
        print(f"check-language-files: {keys_file} is missing", file=sys.stderr)
        return 1
    expected = [k.strip() for k in keys_file.read_text(encoding="utf-8").splitlines() if k.strip()]
    if len(set(expected)) != len(expected):
        faults.append("keys.txt lists a key twice")
    files = sorted(folder.glob("*.lng"))
    if not any(f.name == "GB.lng" for f in files):
        faults.append("GB.lng, the default language file, is missing")
    for path in files:
        check_file(root, path, set(expected), faults)
    if faults:
        for fault in faults:
            print(f"check-language-files: {fault}", file=sys.stderr)
        print(f"check-language-files: {len(faults)} fault(s) in {len(files)} file(s)", file=sys.stderr)
        return 1
    print(f"check-language-files: {len(files)} language file(s), {len(expected)} keys each: OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

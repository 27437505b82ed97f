#!/usr/bin/env python3
"""Checks the administrative templates (installer/policy) that Group Policy and Intune take in,
against what their editors need and what the programs read. Each fault is one line; exits
non-zero when there is one:
- both files are well-formed XML;
- every $(string.X) and $(presentation.X) of the ADMX has its entry in the ADML, every element
  of a policy has its control in that presentation and every control its element, and the ADML
  is at least the revision the ADMX asks for;
- no `using` of another template (Intune imports only templates that stand alone) and no combo
  box (Intune refuses it);
- every key is Software\\Policies\\Halcyra or below it, and every value a policy writes is a
  REG_DWORD (the programs ignore any other type);
- the names the programs read (the string constants of src/app/policy_names.h) are all written
  by some policy, and every name a policy writes is one the programs read."""
import pathlib
import re
import sys
import xml.etree.ElementTree as ElementTree

root = pathlib.Path(__file__).resolve().parent.parent
ADMX = root / "installer/policy/Halcyra.admx"
ADML = root / "installer/policy/en-US/Halcyra.adml"
NAMES = root / "src/app/policy_names.h"
BASE_KEY = "Software\\Policies\\Halcyra"
NS = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"

# The ADMX elements that write a value, and the ADML controls that present each.
CONTROLS = {
    "boolean": {"checkBox"},
    "decimal": {"decimalTextBox"},
    "longDecimal": {"longDecimalTextBox"},
    "text": {"textBox"},
    "multiText": {"multiTextBox"},
    "enum": {"dropdownList"},
    "list": {"listBox"},
}
# What each writes when it names a value of its own: the programs read numbers as REG_DWORD.
NOT_DWORD = {"text": "REG_SZ", "multiText": "REG_MULTI_SZ", "longDecimal": "REG_QWORD"}

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
COMMENT = re.compile(r'//[^\n]*|/\*.*?\*/', re.S)


def local(tag):
    return tag[len(NS):] if tag.startswith(NS) else tag


def parse(path, faults):
    try:
        return ElementTree.parse(path).getroot()
    except (OSError, ElementTree.ParseError) as error:
        faults.append(f"{path.relative_to(root)}: not well-formed XML: {error}")
        return None


def program_names():
    """The registry names the programs read: every string constant of the header."""
    source = NAMES.read_text(encoding="utf-8")
    source = re.sub(r'"(?:[^"\\\n]|\\.)*"|' + COMMENT.pattern,
                    lambda m: m.group(0) if m.group(0).startswith('"') else " ", source, flags=re.S)
    return [literal.replace("\\\\", "\\") for literal in LITERAL.findall(source)]


def under_base(key):
    return key.lower() == BASE_KEY.lower() or key.lower().startswith(BASE_KEY.lower() + "\\")


def references(admx):
    """Every $(kind.id) in the ADMX's attributes, with the element that holds it."""
    for element in admx.iter():
        for value in element.attrib.values():
            for kind, name in re.findall(r"\$\((\w+)\.([^)]*)\)", value):
                yield local(element.tag), element.get("name", element.get("id", "?")), kind, name


def check_resources(admx, adml, faults):
    strings = {s.get("id") for s in adml.iter(NS + "string")}
    presentations = {p.get("id"): p for p in adml.iter(NS + "presentation")}
    for tag, name, kind, ident in references(admx):
        if kind == "string" and ident not in strings:
            faults.append(f"{tag} {name}: $(string.{ident}) is not in the ADML's string table")
        elif kind == "presentation" and ident not in presentations:
            faults.append(f"{tag} {name}: $(presentation.{ident}) is not in the ADML's "
                          f"presentation table")
        elif kind not in ("string", "presentation"):
            faults.append(f"{tag} {name}: $({kind}.{ident}) is no kind of reference an ADML holds")

    for policy in admx.iter(NS + "policy"):
        name = policy.get("name")
        elements = policy.find(NS + "elements")
        kinds = {e.get("id"): local(e.tag) for e in (elements if elements is not None else [])}
        match = re.fullmatch(r"\$\(presentation\.([^)]*)\)", policy.get("presentation", ""))
        if kinds and not match:
            faults.append(f"policy {name}: it has elements but no presentation")
            continue
        if not match or match.group(1) not in presentations:
            continue
        controls = {c.get("refId"): local(c.tag) for c in presentations[match.group(1)]
                    if c.get("refId")}
        for ident, kind in kinds.items():
            if ident not in controls:
                faults.append(f"policy {name}: element {ident} has no control in its presentation")
            elif controls[ident] not in CONTROLS.get(kind, ()):
                faults.append(f"policy {name}: element {ident} ({kind}) is presented by a "
                              f"{controls[ident]}")
        for ref in controls.keys() - kinds.keys():
            faults.append(f"policy {name}: its presentation's control {ref} has no element")

    resources = admx.find(NS + "resources")
    needed = resources.get("minRequiredRevision") if resources is not None else None
    if needed is None:
        faults.append("the ADMX's resources name no minRequiredRevision")
    elif tuple(map(int, adml.get("revision", "0").split("."))) < tuple(map(int, needed.split("."))):
        faults.append(f"the ADML's revision {adml.get('revision')} is below the "
                      f"{needed} the ADMX requires")


def check_intune(admx, adml, faults):
    for element in admx.iter(NS + "using"):
        faults.append(f"the ADMX uses the namespace {element.get('namespace')}: Intune imports "
                      f"only templates that stand alone")
    for element in adml.iter(NS + "comboBox"):
        faults.append(f"presentation control {element.get('refId')} is a combo box, which "
                      f"Intune refuses")


def written_names(admx, faults):
    """The registry names the policies write, keys and values, by their names in lower case (the
    registry compares without regard to case); each wrong key or type is a fault."""
    names = {}
    for policy in admx.iter(NS + "policy"):
        name, key = policy.get("name"), policy.get("key", "")
        for element in policy.iter():
            element_key = element.get("key")
            if element_key is None:
                continue
            if not under_base(element_key):
                faults.append(f"policy {name}: key {element_key} is not under {BASE_KEY}")
            else:
                for part in element_key[len(BASE_KEY):].split("\\"):
                    if part:
                        names.setdefault(part.lower(), part)
        if policy.get("valueName"):
            names.setdefault(policy.get("valueName").lower(), policy.get("valueName"))
            for state in ("enabledValue", "disabledValue"):
                value = policy.find(NS + state)
                if value is not None and value.find(NS + "decimal") is None:
                    faults.append(f"policy {name}: its {state} is no decimal (REG_DWORD)")
        for element in policy.iter():
            kind = local(element.tag)
            if kind in CONTROLS and element.get("valueName"):
                names.setdefault(element.get("valueName").lower(), element.get("valueName"))
                if kind in NOT_DWORD:
                    faults.append(f"policy {name}: element {element.get('id')} writes a "
                                  f"{NOT_DWORD[kind]}, not a REG_DWORD")
        if not key:
            faults.append(f"policy {name}: it names no key")
    return names


def main() -> int:
    faults = []
    admx, adml = parse(ADMX, faults), parse(ADML, faults)
    if admx is not None and adml is not None:
        check_resources(admx, adml, faults)
        check_intune(admx, adml, faults)
        written = written_names(admx, faults)
        if not NAMES.exists():
            faults.append(f"{NAMES.relative_to(root)} is missing: the names the programs read "
                          f"cannot be compared with the templates")
        else:
            read = program_names()
            if not read:
                faults.append(f"{NAMES.relative_to(root)} holds no name")
            # A full key counts by its parts below the policies' key.
            parts = {name: [p.lower() for p in name[len(BASE_KEY):].split("\\") if p]
                     if under_base(name) else [name.lower()] for name in read}
            for name in read:
                if any(part not in written for part in parts[name]):
                    faults.append(f"the programs read {name}, which no policy writes")
            relative = {part for name in read for part in parts[name]}
            for name in sorted(written.keys() - relative):
                faults.append(f"a policy writes {written[name]}, which the programs do not read")
    for fault in faults:
        print(fault)
    print(f"policy templates: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

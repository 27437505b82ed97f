#!/usr/bin/env python3
"""Checks the three winget manifests the build wrote against what winget's 1.6 schemas require,
and against the package they describe.
Usage: check_winget.py FOLDER PACKAGE VERSION. Prints each fault; exits non-zero when there is one."""
import hashlib
import os
import re
import subprocess
import sys

import yaml

IDENTIFIER = re.compile(r'^[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}$')
GUID = re.compile(r"^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$")

# The fields each manifest must have, as the 1.6 schemas require them.
REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
}
FILES = {
    "version": "Halcyra.Halcyra.yaml",
    "installer": "Halcyra.Halcyra.installer.yaml",
    "defaultLocale": "Halcyra.Halcyra.locale.en-US.yaml",
}


def msi_property(package, name):
    rows = subprocess.run(["msiinfo", "export", package, "Property"], capture_output=True,
                          text=True, check=True).stdout.splitlines()
    return next((r.split("\t")[1] for r in rows if r.split("\t")[0] == name), None)


def main():
    folder, package, version = sys.argv[1:4]
    faults = []
    check = lambda ok, text: ok or faults.append(text)

    manifests = {}
    for kind, name in FILES.items():
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            faults.append(f"{name} is missing")
            continue
        manifest = yaml.safe_load(open(path, encoding="utf-8"))
        manifests[kind] = manifest
        for field in REQUIRED[kind]:
            check(manifest.get(field) not in (None, "", []), f"{name}: no {field}")
        check(manifest.get("ManifestType") == kind, f"{name}: ManifestType is not {kind}")
        check(manifest.get("ManifestVersion") == "1.6.0", f"{name}: ManifestVersion is not 1.6.0")
        check(IDENTIFIER.match(str(manifest.get("PackageIdentifier", ""))),
              f"{name}: PackageIdentifier is not Publisher.Package")
        check(str(manifest.get("PackageVersion")) == version, f"{name}: PackageVersion is not {version}")
        check(manifest.get("PackageIdentifier") == "Halcyra.Halcyra", f"{name}: another package")
    if faults:
        print("\n".join(faults))
        return 1

    check(manifests["version"]["DefaultLocale"] == manifests["defaultLocale"]["PackageLocale"],
          "the default locale's manifest is not the one the version names")

    installer = manifests["installer"]
    digest = hashlib.sha256(open(package, "rb").read()).hexdigest().upper()
    product_code = msi_property(package, "ProductCode")
    check(installer.get("InstallerType") == "msi", "InstallerType is not msi")
    check(installer.get("Scope") == "machine", "Scope is not machine")
    check(installer.get("UpgradeBehavior") == "install", "UpgradeBehavior is not install")
    switches = installer.get("InstallerSwitches") or {}
    check("/qn" in str(switches.get("Silent", "")) or "/quiet" in str(switches.get("Silent", "")),
          "no silent switch")
    check(switches.get("SilentWithProgress"), "no switch for a silent install with progress")
    check(GUID.match(str(installer.get("ProductCode", ""))) and installer["ProductCode"] == product_code,
          "ProductCode is not the package's")
    entries = installer["Installers"]
    check(len(entries) == 1, "one installer expected")
    for entry in entries:
        check(entry.get("Architecture") == "x64", "Architecture is not x64")
        check(re.match(r"^https?://.+", str(entry.get("InstallerUrl", ""))), "InstallerUrl is no URL")
        check(str(entry.get("InstallerSha256", "")) == digest, "InstallerSha256 is not the package's")
    locale = manifests["defaultLocale"]
    check(len(locale.get("ShortDescription", "")) <= 256, "ShortDescription is over 256 characters")
    check(locale.get("License") == "MIT", "License is not the license of License.txt")

    print("\n".join(faults))
    print(f"{len(faults)} faults in the winget manifests")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

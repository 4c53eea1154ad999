#!/usr/bin/env python3
"""Checks the winget manifest and SHA256SUMS that tools/release-files.py wrote into a dist folder:
every file parses as YAML and carries the fields the 1.6 schema requires of its type, the
installers' hashes and file names are those in the folder, and SHA256SUMS lists every other file
with its hash.   release_files_check.py DIST VERSION RELEASE_URL"""
import hashlib
import os
import sys

import yaml

PACKAGE_ID = "Orvane.Padwise"
REQUIRED = {  # the schema's required properties, by manifest type
    "version": ("PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"),
    "installer": ("PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"),
    "defaultLocale": ("PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"),
}
INSTALLER_REQUIRED = ("Architecture", "InstallerUrl", "InstallerSha256")
ARCHITECTURES = {"x64": "win64", "x86": "win32"}
problems = []


def expect(condition, text):
    if not condition:
        problems.append(text)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main(dist, version, url):
    folder = os.path.join(dist, "winget", PACKAGE_ID, version)
    names = {"version": PACKAGE_ID + ".yaml", "installer": PACKAGE_ID + ".installer.yaml",
             "defaultLocale": PACKAGE_ID + ".locale.en-US.yaml"}
    manifests = {}
    for kind, name in names.items():
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            manifests[kind] = data = yaml.safe_load(f)
        for field in REQUIRED[kind]:
            expect(data.get(field) not in (None, ""), "%s: no %s" % (name, field))
        expect(data.get("ManifestType") == kind, "%s: ManifestType %r" % (name, data.get("ManifestType")))
        expect(data.get("ManifestVersion") == "1.6.0", "%s: ManifestVersion %r" % (name, data.get("ManifestVersion")))
        expect(data.get("PackageIdentifier") == PACKAGE_ID, "%s: PackageIdentifier" % name)
        expect(str(data.get("PackageVersion")) == version, "%s: PackageVersion" % name)
    expect(manifests["version"].get("DefaultLocale") == manifests["defaultLocale"].get("PackageLocale"),
           "DefaultLocale is not the defaultLocale manifest's PackageLocale")

    installer = manifests["installer"]
    for field, value in (("InstallerType", "nullsoft"), ("Scope", "machine"), ("UpgradeBehavior", "install"),
                         ("ProductCode", "Padwise")):
        expect(installer.get(field) == value, "installer: %s is %r, not %r" % (field, installer.get(field), value))
    switches = installer.get("InstallerSwitches") or {}
    expect(switches.get("Silent") == "/S" and switches.get("SilentWithProgress") == "/S", "silent switches")
    seen = []
    for entry in installer.get("Installers") or []:
        for field in INSTALLER_REQUIRED:
            expect(field in entry, "installer entry without %s: %r" % (field, entry))
        kind = ARCHITECTURES.get(entry.get("Architecture"))
        expect(kind is not None, "architecture %r" % entry.get("Architecture"))
        if kind is None:
            continue
        seen.append(kind)
        file_name = "padwise-%s-%s-setup.exe" % (version, kind)
        expect(entry.get("InstallerUrl") == url.rstrip("/") + "/" + file_name, "URL %r" % entry.get("InstallerUrl"))
        expect(entry.get("InstallerSha256") == sha256(os.path.join(dist, file_name)).upper(),
               "%s: InstallerSha256 is not the installer's" % file_name)
    expect(sorted(seen) == ["win32", "win64"], "installers of %r" % seen)

    listed = {}
    with open(os.path.join(dist, "SHA256SUMS"), encoding="utf-8") as f:
        for line in f.read().splitlines():
            digest, name = line.split("  ", 1)
            listed[name] = digest
    files = {os.path.relpath(os.path.join(root, name), dist).replace(os.sep, "/")
             for root, _, names_ in os.walk(dist) for name in names_} - {"SHA256SUMS"}
    expect(set(listed) == files, "SHA256SUMS lists %s, the folder holds %s" % (sorted(listed), sorted(files)))
    for name in files & set(listed):
        expect(listed[name] == sha256(os.path.join(dist, name)), "SHA256SUMS: wrong hash of %s" % name)

    for problem in problems:
        print("FAIL: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))

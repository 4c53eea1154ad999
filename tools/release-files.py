#!/usr/bin/env python3
"""Writes the release's listing files into a dist folder that holds both installers:

  winget/Orvane.Padwise/VERSION/  the winget manifest (multi-file, schema 1.6: version, installer,
                                  defaultLocale) of both installers, downloaded from RELEASE_URL
  SHA256SUMS                      the SHA-256 of every other file below the folder (sha256sum -c)

release-files.py DIST --version X.Y.Z --release-url URL
Exits 1 with a message when an installer is missing."""
import argparse
import hashlib
import os
import sys

PACKAGE_ID = "Orvane.Padwise"
MANIFEST_VERSION = "1.6.0"
LOCALE = "en-US"
# The installer's uninstall key name (padwise.nsi, UNINSTALL_KEY), which winget knows as ProductCode.
PRODUCT_CODE = "Padwise"
ARCHITECTURES = (("win64", "x64"), ("win32", "x86"))
LOCALE_FIELDS = (
    ("Publisher", "Orvane"),
    ("PackageName", "Padwise"),
    ("License", "Proprietary"),
    ("Copyright", "Copyright (C) 2026 Orvane"),
    ("ShortDescription", "Game profiles, force-feedback effect driver and driver setup for the "
                         "Orvane USB game pad."),
    ("Description", "Padwise lives in the notification area and keeps a profile per game: the pad "
                    "settings to use while that game runs, put into force when the game starts and "
                    "restored when it ends. It carries the pad's force-feedback effect driver for "
                    "DirectInput and Pad Driver Setup, which installs or removes the pad's driver."),
    ("Moniker", "padwise"),
)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def quoted(text):
    return "'" + text.replace("'", "''") + "'"


def header(kind, version):
    return ["# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json" % (
        kind, MANIFEST_VERSION), "", "PackageIdentifier: " + PACKAGE_ID,
        "PackageVersion: " + quoted(version)]


def footer(kind):
    return ["ManifestType: " + kind, "ManifestVersion: " + MANIFEST_VERSION, ""]


def installer_manifest(dist, version, url):
    lines = header("installer", version) + [
        "InstallerType: nullsoft",
        "Scope: machine",
        "InstallModes:", "- silent", "- silentWithProgress",
        "InstallerSwitches:", "  Silent: /S", "  SilentWithProgress: /S",
        "  InstallLocation: /D=<INSTALLPATH>",
        # Exit codes of padwise.nsi: 3 while Padwise runs a game, 4 on the other architecture.
        "ExpectedReturnCodes:",
        "- InstallerReturnCode: 3", "  ReturnResponse: packageInUse",
        "- InstallerReturnCode: 4", "  ReturnResponse: systemNotSupported",
        "UpgradeBehavior: install",
        "ProductCode: " + PRODUCT_CODE,
        "ElevationRequirement: elevatesSelf",
        "Installers:"]
    for kind, architecture in ARCHITECTURES:
        name = "padwise-%s-%s-setup.exe" % (version, kind)
        path = os.path.join(dist, name)
        if not os.path.isfile(path):
            raise OSError("missing installer %s" % path)
        lines += ["- Architecture: " + architecture,
                  "  InstallerUrl: " + quoted(url.rstrip("/") + "/" + name),
                  "  InstallerSha256: " + sha256(path).upper()]
    return lines + footer("installer")


def locale_manifest(version):
    lines = header("defaultLocale", version) + ["PackageLocale: " + LOCALE]
    lines += ["%s: %s" % (name, quoted(value)) for name, value in LOCALE_FIELDS]
    return lines + footer("defaultLocale")


def version_manifest(version):
    return header("version", version) + ["DefaultLocale: " + LOCALE] + footer("version")


def write(path, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dist")
    parser.add_argument("--version", required=True)
    parser.add_argument("--release-url", required=True)
    args = parser.parse_args()
    folder = os.path.join(args.dist, "winget", PACKAGE_ID, args.version)
    sums = os.path.join(args.dist, "SHA256SUMS")
    try:
        installers = installer_manifest(args.dist, args.version, args.release_url)
        os.makedirs(folder, exist_ok=True)
        write(os.path.join(folder, PACKAGE_ID + ".yaml"), version_manifest(args.version))
        write(os.path.join(folder, PACKAGE_ID + ".installer.yaml"), installers)
        write(os.path.join(folder, "%s.locale.%s.yaml" % (PACKAGE_ID, LOCALE)),
              locale_manifest(args.version))
        files = sorted(os.path.relpath(os.path.join(root, name), args.dist).replace(os.sep, "/")
                       for root, _, names in os.walk(args.dist) for name in names)
        lines = ["%s  %s" % (sha256(os.path.join(args.dist, name)), name)
                 for name in files if name != "SHA256SUMS"]
        write(sums + ".partial", lines + [""])
        os.replace(sums + ".partial", sums)
    except OSError as error:
        print("release-files.py: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

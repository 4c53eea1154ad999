#!/usr/bin/env python3
"""Lays out one release folder, Padwise/, below a staging folder and zips it.

stage.py --templates DIR --stage DIR --zip FILE --version X.Y.Z --kind win32|win64
         --settings INI [--demo] [--jolter ARCH=DLL]... [--sign COMMAND] PROGRAM...

The programs go into Padwise/, each effect driver DLL into Padwise/ARCH/ (x86, amd64: the
platform names of a driver package INF), from where the package's INF copies it.

profiler.INI takes the SETTINGS section of the --settings file; --demo marks it as the demo's.
--sign runs COMMAND (split like a shell line) with every program and DLL laid out, before zipping.
Text files get CRLF line ends. Exits 1 with a message, writing no zip, on bad input."""
import argparse
import os
import shlex
import shutil
import subprocess
import sys
import zipfile

DEMO_REMARK = ("; DEMO SETTINGS: the SETTINGS section below names a demo registry key and control\n"
               "; device, not those of a real pad driver. Replace it with the driver's own settings.")
OWN_REMARK = "; The SETTINGS section below comes with this installation."
DEMO_NOTE = ("\nNOTE: this package carries DEMO driver settings. The SETTINGS section of\n"
             "profiler.INI names a demo registry key and control device, not those of the\n"
             "pad's real driver: profiles reach no pad until it holds the driver's settings.\n")


class BadInput(Exception):
    pass


def settings_section(path):
    """The SETTINGS section of an INI file (header included), its lines trimmed."""
    try:
        with open(path, encoding="latin-1") as f:
            lines = f.read().splitlines()
    except OSError as error:
        raise BadInput("cannot read the settings file %s: %s" % (path, error.strerror))
    section, inside = ["[SETTINGS]"], False
    for line in (line.strip() for line in lines):
        if line.startswith("["):
            inside = line.upper() == "[SETTINGS]"
        elif inside and line:
            section.append(line)
    if not any(line.upper().startswith("KEYS=") for line in section):
        raise BadInput("%s has no SETTINGS section with KEYS" % path)
    return "\n".join(section)


def fill(template, values):
    for name, value in values.items():
        template = template.replace("@%s@" % name, value)
    return template


def write_crlf(path, text):
    with open(path, "w", encoding="latin-1", newline="\r\n") as f:
        f.write(text.replace("\r\n", "\n"))


def read_template(templates, name):
    with open(os.path.join(templates, name), encoding="utf-8") as f:
        return f.read()


def sign(command, folder):
    binaries = sorted(os.path.join(root, name) for root, _, names in os.walk(folder)
                      for name in names if name.lower().endswith((".exe", ".dll")))
    if subprocess.run(command + binaries).returncode != 0:
        raise BadInput("signing failed: %s" % " ".join(command))


def stage(args):
    folder = os.path.join(args.stage, "Padwise")
    shutil.rmtree(args.stage, ignore_errors=True)
    os.makedirs(folder)
    for binary in args.programs:
        shutil.copy2(binary, folder)
    for arch, dll in args.jolter:
        if not os.path.isfile(dll):
            raise BadInput("the %s effect driver %s is missing (build that target first)" % (arch, dll))
        os.makedirs(os.path.join(folder, arch))
        shutil.copy2(dll, os.path.join(folder, arch))
    values = {
        "PROJECT_VERSION": args.version,
        "PADWISE_KIND": args.kind,
        "PADWISE_KIND_TEXT": "64-bit Windows" if args.kind == "win64" else "32-bit Windows",
        "PADWISE_SETTINGS_SECTION": settings_section(args.settings),
        "PADWISE_SETTINGS_REMARK": DEMO_REMARK if args.demo else OWN_REMARK,
        "PADWISE_SETTINGS_NOTE": DEMO_NOTE if args.demo else "",
    }
    for name, template in (("profiler.INI", "profiler.INI.in"), ("setup.ini", "setup.ini"),
                           ("README.txt", "README.txt.in")):
        write_crlf(os.path.join(folder, name), fill(read_template(args.templates, template), values))
    if args.sign:
        sign(shlex.split(args.sign), folder)
    partial = args.zip + ".partial"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for top, _, names in sorted(os.walk(folder)):
            for name in sorted(names):
                path = os.path.join(top, name)
                archive.write(path, "Padwise/" + os.path.relpath(path, folder).replace(os.sep, "/"))
    os.replace(partial, args.zip)


def driver_option(text):
    arch, _, dll = text.partition("=")
    if arch not in ("x86", "amd64") or not dll:
        raise argparse.ArgumentTypeError("expected x86=DLL or amd64=DLL, got %r" % text)
    return arch, dll


def main():
    parser = argparse.ArgumentParser()
    for option in ("templates", "stage", "zip", "version", "settings"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("--kind", required=True, choices=("win32", "win64"))
    parser.add_argument("--demo", action="store_true")
    parser.add_argument("--sign")
    parser.add_argument("--jolter", action="append", default=[], type=driver_option,
                        help="ARCH=DLL: an effect driver and its architecture (x86, amd64)")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()
    try:
        stage(args)
    except (BadInput, OSError) as error:
        print("stage.py: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

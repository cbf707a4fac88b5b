#!/usr/bin/env python3
"""Writes the bill of materials of the release package (CycloneDX 1.5 JSON).

    sbom.py PRODUCT_JSON OUTPUT LAUNCHER_EXE [EXE...]

It describes the launcher (names and version from the CMake project, through
PRODUCT_JSON, and the SHA-256 of the executable as packaged), lists every
other executable of the package as an application component of the same
version with its SHA-256, and the runtime code the build links into all of
them statically. Each executable names its file in the property tarrow:file.
Each runtime's version is that of the installed Debian package owning its
library, found through the compiler that built the launcher and dpkg, so
nothing here is written by hand but the licences. The same inputs give the
same bytes: the only date is SOURCE_DATE_EPOCH and the serial number is
derived from the executables' digests.
"""
import datetime
import hashlib
import json
import os
import subprocess
import sys
import uuid
from urllib.parse import quote

# What -static links in: a library file of each runtime (asked of the
# compiler) and its licences, as THIRD-PARTY-NOTICES.txt gives them. One SPDX
# expression each: a list of several licence objects is valid CycloneDX too,
# but Debian's jsonschema 4.10 crashes formatting an error about it.
RUNTIMES = [
    ("gcc-runtime", "GCC runtime libraries (libgcc, libstdc++)", ["libstdc++.a", "libgcc.a"],
     [{"expression": "GPL-3.0-or-later WITH GCC-exception-3.1"}]),
    ("mingw-w64-runtime", "MinGW-w64 C runtime start-up and support code", ["libmingw32.a", "libmingwex.a"],
     # The public-domain files and the smaller permissive notices (gdtoa, printf, ...).
     [{"expression": "ZPL-2.1 AND BSD-3-Clause AND LicenseRef-MinGW-w64-runtime-notices"}]),
    ("winpthreads", "POSIX threads for Windows (MinGW-w64)", ["libwinpthread.a"],
     [{"expression": "MIT AND BSD-3-Clause"}]),
]


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout.strip()


def debian_package(compiler, library):
    """The installed package (name, version, architecture) owning the library the compiler links."""
    path = os.path.realpath(run(compiler, f"-print-file-name={library}"))
    if not os.path.isabs(path) or not os.path.exists(path):
        sys.exit(f"sbom: the compiler {compiler} finds no {library}")
    owner = run("dpkg-query", "-S", path).split(":")[0]
    version, arch = run("dpkg-query", "-W", "-f=${Version} ${Architecture}", owner).split()
    return owner, version, arch


def purl(name, version, arch):
    return f"pkg:deb/debian/{quote(name, safe='')}@{quote(version, safe='')}?arch={arch}"


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    if len(sys.argv) < 4:
        sys.exit("usage: sbom.py PRODUCT_JSON OUTPUT LAUNCHER_EXE [EXE...]")
    product_json, output, launcher, *others = sys.argv[1:]
    with open(product_json, encoding="utf-8") as f:
        product = json.load(f)
    digest = sha256(launcher)
    stamp = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    launcher_ref = f"{product['name']}@{product['version']}"

    executables = []
    for path in others:
        name = os.path.splitext(os.path.basename(path))[0]
        executables.append({
            "type": "application", "bom-ref": f"{name}@{product['version']}", "name": name,
            "version": product["version"], "supplier": {"name": product["supplier"]},
            "copyright": product["copyright"], "licenses": [{"license": {"id": product["license"]}}],
            "hashes": [{"alg": "SHA-256", "content": sha256(path)}],
            "properties": [{"name": "tarrow:file", "value": os.path.basename(path)}],
        })
    components = []
    for ref, description, libraries, licences in RUNTIMES:
        packages = sorted({debian_package(product["compiler"], lib) for lib in libraries})
        # libgcc and libstdc++ come from the C and the C++ compiler's packages
        # of one GCC build: one version.
        if len({version for _, version, _ in packages}) != 1:
            sys.exit(f"sbom: the libraries of {ref} come from packages of different versions: {packages}")
        name, version, arch = packages[0]
        components.append({
            "type": "library", "bom-ref": ref, "name": ref, "version": version, "description": description,
            "licenses": licences, "purl": purl(name, version, arch),
            "properties": [{"name": "tarrow:debian-package", "value": f"{n} {v}"} for n, v, _ in packages]
                          + [{"name": "tarrow:linked", "value": "static"}],
        })

    identity = ";".join(f"{os.path.basename(path)}:sha256:{sha256(path)}" for path in [launcher] + others)
    runtimes = [c["bom-ref"] for c in components]
    bom = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.5",
        "serialNumber": f"urn:uuid:{uuid.uuid5(uuid.NAMESPACE_URL, identity)}",
        "version": 1,
        "metadata": {
            "timestamp": datetime.datetime.fromtimestamp(stamp, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ"),
            "tools": {"components": [{"type": "application", "name": "scripts/package", "version": product["version"]}]},
            "component": {
                "type": "application", "bom-ref": launcher_ref, "name": product["name"],
                "version": product["version"], "description": product["description"],
                "supplier": {"name": product["supplier"]}, "copyright": product["copyright"],
                "licenses": [{"license": {"id": product["license"]}}],
                "hashes": [{"alg": "SHA-256", "content": digest}],
                "properties": [{"name": "tarrow:file", "value": os.path.basename(launcher)}],
            },
        },
        "components": executables + components,
        "dependencies": [{"ref": ref, "dependsOn": runtimes} for ref in [launcher_ref] + [e["bom-ref"] for e in executables]]
                        + [{"ref": ref, "dependsOn": []} for ref in runtimes],
    }
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        json.dump(bom, f, indent=2, sort_keys=False)
        f.write("\n")


if __name__ == "__main__":
    main()

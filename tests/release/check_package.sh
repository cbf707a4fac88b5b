#!/usr/bin/env bash
# Makes the release package twice with scripts/package and checks it: both
# runs give the same bytes, SHA256SUMS verifies, the ZIP holds exactly the
# shipped files, the launcher is under 1 MB and the README names the
# version. Then unpacks it into a fresh folder outside the build tree, where
# the packaged-launcher tests start it.
#
#   check_package.sh VERSION WORK_FOLDER UNPACK_FOLDER
set -euo pipefail
version="$1"
work="$2"
unpacked="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
zip="tarrow-launcher-$version-win64.zip"

rm -rf "$work"
TARROW_RELEASE_DIR="$work/first" "$root/scripts/package"
TARROW_RELEASE_DIR="$work/second" "$root/scripts/package" >/dev/null
cmp -s "$work/first/$zip" "$work/second/$zip" || { echo "FAIL: two runs gave different bytes (or no $zip)" >&2; exit 1; }
(cd "$work/first" && sha256sum --quiet -c SHA256SUMS) || { echo "FAIL: SHA256SUMS does not verify" >&2; exit 1; }

rm -rf "$unpacked" && mkdir -p "$unpacked"
python3 - "$work/first/$zip" "$version" "$unpacked" <<'PY'
import sys, zipfile
package, version, folder = sys.argv[1:]
shipped = ["LICENSE", "README.md", "THIRD-PARTY-NOTICES.txt", "demo-updater.exe", "tarrow-launcher.exe"]
with zipfile.ZipFile(package) as z:
    if z.namelist() != shipped:
        sys.exit(f"FAIL: the package holds {z.namelist()}, not {shipped}")
    size = z.getinfo("tarrow-launcher.exe").file_size
    if size >= 1_000_000:
        sys.exit(f"FAIL: tarrow-launcher.exe is {size} bytes, not under 1 MB")
    if f"Version: {version}\n".encode() not in z.read("README.md"):
        sys.exit(f"FAIL: the packaged README does not name version {version}")
    z.extractall(folder)
PY

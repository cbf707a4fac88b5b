#!/usr/bin/env bash
# Makes the release package with scripts/package and checks it. Unsigned,
# twice: both runs give the same bytes, SHA256SUMS verifies, the ZIP holds
# exactly the shipped files, the launcher is under 1 MB and the README names
# the version. Signed with a throwaway CA's code-signing certificate:
# --verify accepts the package (every executable's signature) against that
# CA with the signer's subject and refuses it with the CA's subject or with
# one byte of any executable flipped, and its bill of materials validates
# against the CycloneDX 1.5 schema and names each executable's digest and
# each static runtime. Signing without a timestamp warns; a timestamp server
# that does not answer fails the package. Branded and signed, the package
# verifies and its launcher carries the brand. Then unpacks the signed package
# into a fresh folder outside the build tree, where the packaged-launcher
# tests start it.
#
#   check_package.sh VERSION WORK_FOLDER UNPACK_FOLDER
set -euo pipefail
version="$1"
work="$2"
unpacked="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
zip="tarrow-launcher-$version-win64.zip"
# Installed by scripts/setup.
schemas=/usr/local/share/tarrow-launcher/cyclonedx-library-10.3.0

rm -rf "$work"
TARROW_RELEASE_DIR="$work/first" "$root/scripts/package"
TARROW_RELEASE_DIR="$work/second" "$root/scripts/package" >/dev/null
cmp -s "$work/first/$zip" "$work/second/$zip" || { echo "FAIL: two runs gave different bytes (or no $zip)" >&2; exit 1; }
(cd "$work/first" && sha256sum --quiet -c SHA256SUMS) || { echo "FAIL: SHA256SUMS does not verify" >&2; exit 1; }

keys="$work/keys" && mkdir -p "$keys" && cd "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Throwaway CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Throwaway Signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext -out signer.pem 2>/dev/null
printf 'throwaway' >password
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout file:password -out signer.pfx
cd - >/dev/null

TARROW_RELEASE_DIR="$work/signed" "$root/scripts/package" --sign "$keys/signer.pfx" --sign-password-file "$keys/password" \
  2>"$work/signed.err" || { cat "$work/signed.err" >&2; exit 1; }
grep -q "warning: signed without --timestamp" "$work/signed.err" || { echo "FAIL: --sign without --timestamp does not warn" >&2; exit 1; }
"$root/scripts/package" --verify "$work/signed/$zip" --ca "$keys/ca.pem" --signer "CN=Throwaway Signer" ||
  { echo "FAIL: the signed package does not verify" >&2; exit 1; }
# The CA's subject is in the signature's chain too: only the leaf's counts.
if "$root/scripts/package" --verify "$work/signed/$zip" --ca "$keys/ca.pem" --signer "CN=Throwaway CA" >"$work/signer.log" ||
    ! grep -q 'tarrow-launcher.exe signer: FAILED, expected "CN=Throwaway CA", signed by "CN=Throwaway Signer"' "$work/signer.log"; then
  cat "$work/signer.log"; echo "FAIL: --verify with another --signer does not fail naming both subjects" >&2; exit 1
fi
for exe in tarrow-launcher.exe demo-updater.exe; do
  tampered="$work/tampered-$exe" && mkdir -p "$tampered" && cp "$work/signed"/* "$tampered/"
  python3 - "$tampered/$zip" "$exe" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    files = {i: z.read(i) for i in z.infolist()}
for entry, data in files.items():
    if entry.filename == sys.argv[2]:
        files[entry] = data[:len(data) // 2] + bytes([data[len(data) // 2] ^ 1]) + data[len(data) // 2 + 1:]
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for entry, data in files.items():
        z.writestr(entry, data)
PY
  (cd "$tampered" && sha256sum "$zip" tarrow-launcher.cdx.json >SHA256SUMS)
  if "$root/scripts/package" --verify "$tampered/$zip" --ca "$keys/ca.pem" >"$tampered.log"; then
    echo "FAIL: --verify accepts a $exe with a flipped byte" >&2; exit 1
  fi
  grep -q "$exe signature: FAILED" "$tampered.log" || { cat "$tampered.log"; echo "FAIL: the flipped byte in $exe is not its signature failure" >&2; exit 1; }
done

printf 'name = Kitakaze\nicon = control.ico\n' >"$work/brand.ini" && cp "$root/resources/control.ico" "$work/"
TARROW_RELEASE_DIR="$work/branded" "$root/scripts/package" --brand "$work/brand.ini" --sign "$keys/signer.pfx" \
  --sign-password-file "$keys/password" >/dev/null 2>"$work/branded.err" || { cat "$work/branded.err" >&2; exit 1; }
"$root/scripts/package" --verify "$work/branded/$zip" --ca "$keys/ca.pem" >"$work/branded.log" ||
  { cat "$work/branded.log"; echo "FAIL: the branded package does not verify" >&2; exit 1; }
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract("tarrow-launcher.exe", sys.argv[2])' \
  "$work/branded/$zip" "$work/branded"
[ "$(wrestool -x --raw --type=10 --name=220 "$work/branded/tarrow-launcher.exe")" = "$(printf 'name = Kitakaze\ntheme = dark')" ] ||
  { echo "FAIL: the branded package's launcher does not carry the brand" >&2; exit 1; }

if TARROW_SIGN_PASSWORD=throwaway TARROW_TIMESTAMP_PAUSE=0 TARROW_RELEASE_DIR="$work/unstamped" \
    "$root/scripts/package" --sign "$keys/signer.pfx" --timestamp http://127.0.0.1:9/ 2>"$work/unstamped.log" >/dev/null ||
    ! grep -q "no RFC 3161 timestamp from http://127.0.0.1:9/ after 3 tries" "$work/unstamped.log" || [ -e "$work/unstamped/$zip" ]; then
  cat "$work/unstamped.log"; echo "FAIL: an unanswered timestamp server does not fail the package clearly" >&2; exit 1
fi

rm -rf "$unpacked" && mkdir -p "$unpacked"
# Debian's python3 runs the schema check with Debian's python3-jsonschema.
/usr/bin/python3 - "$work/first/$zip" "$work/signed/$zip" "$version" "$unpacked" "$schemas" <<'PY'
import hashlib, json, os, sys, zipfile
import jsonschema
unsigned, signed, version, folder, schemas = sys.argv[1:]
shipped = ["LICENSE", "README.md", "THIRD-PARTY-NOTICES.txt", "demo-updater.exe", "tarrow-brand.exe",
           "tarrow-launcher.cdx.json", "tarrow-launcher.exe"]
with zipfile.ZipFile(unsigned) as u, zipfile.ZipFile(signed) as z:
    if z.namelist() != shipped or u.namelist() != shipped:
        sys.exit(f"FAIL: the packages hold {u.namelist()} and {z.namelist()}, not {shipped}")
    changed = [n for n in shipped if u.read(n) != z.read(n)]
    if changed != ["demo-updater.exe", "tarrow-brand.exe", "tarrow-launcher.cdx.json", "tarrow-launcher.exe"]:
        sys.exit(f"FAIL: signing changed {changed}, not the executables and the bill of materials")
    size = z.getinfo("tarrow-launcher.exe").file_size
    if size >= 1_000_000:
        sys.exit(f"FAIL: tarrow-launcher.exe is {size} bytes, not under 1 MB")
    if f"Version: {version}\n".encode() not in z.read("README.md"):
        sys.exit(f"FAIL: the packaged README does not name version {version}")
    bom = json.loads(z.read("tarrow-launcher.cdx.json"))
    digests = {n: hashlib.sha256(z.read(n)).hexdigest() for n in shipped if n.endswith(".exe")}
    z.extractall(folder)

# The schema's references resolve to the files beside it; nothing is fetched.
store = {}
for name in os.listdir(schemas):
    if name.endswith(".schema.json"):
        schema = json.load(open(os.path.join(schemas, name)))
        store[schema["$id"]] = store["http://cyclonedx.org/schema/" + name] = schema
def offline(uri):
    raise jsonschema.RefResolutionError(f"no local schema for {uri}")
root_schema = store["http://cyclonedx.org/schema/bom-1.5.schema.json"]
resolver = jsonschema.RefResolver.from_schema(root_schema, store=store, handlers={"http": offline, "https": offline})
errors = list(jsonschema.Draft7Validator(root_schema, resolver=resolver).iter_errors(bom))
if errors:
    sys.exit("FAIL: the bill of materials is not CycloneDX 1.5: " + "; ".join(e.message for e in errors[:5]))
if bom["metadata"]["component"]["name"] != "tarrow-launcher":
    sys.exit(f"FAIL: the bill of materials describes {bom['metadata']['component']['name']}, not tarrow-launcher")
files = {p["value"]: c for c in [bom["metadata"]["component"]] + bom["components"]
         for p in c.get("properties", []) if p["name"] == "tarrow:file"}
for name, digest in digests.items():
    if (files.get(name, {}).get("version"), files.get(name, {}).get("hashes")) != (version, [{"alg": "SHA-256", "content": digest}]):
        sys.exit(f"FAIL: the bill of materials lists {name} as {files.get(name)}, not version {version} with SHA-256 {digest}")
listed = {c["name"]: c for c in bom["components"]}
for runtime in ("gcc-runtime", "mingw-w64-runtime", "winpthreads"):
    if runtime not in listed or not listed[runtime]["version"] or not listed[runtime]["licenses"]:
        sys.exit(f"FAIL: the bill of materials lacks {runtime} with its version and licence: {sorted(listed)}")
PY

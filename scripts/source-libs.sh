# Sourced by web-libs.sh and windows-libs.sh, not run: what every cross build
# of a library from Debian's own source packages needs. Finds the Debian
# version of a source package, fetches and unpacks it (adding deb-src entries
# to the apt sources when there are none), and keeps each built library in a
# cache folder
#   <root>/<source>-<debian version>/
#     include/  lib/  whatever the build function installs
#     build-info  source version plus the tools and flags it was built with
#     build.log   what fetching, configuring and building printed
# that is used as it is while its build-info still matches.

# What fetching and unpacking needs: dpkg-source (from dpkg-dev) unpacks what
# apt-get source fetches, and python3 reads the apt sources.
SOURCE_LIBS_PACKAGES=(dpkg-dev python3)

# Fallbacks for when common.sh was not sourced first.
if ! declare -F as_root >/dev/null; then
  as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
  }
fi

# srclib_source_version SOURCE BINARY: the Debian version of source package
# SOURCE: that of the installed BINARY (one of its binary packages), so a
# cross build links the same version as the native one and a cached build is
# found without asking apt; else that of BINARY's candidate.
srclib_source_version() {
  local src="$1" bin="$2" info
  if dpkg-query -W -f='${Status}' "$bin" 2>/dev/null | grep -q "install ok installed"; then
    dpkg-query -W -f='${source:Version}\n' "$bin"
    return
  fi
  info="$(apt-cache show --no-all-versions "$bin" 2>/dev/null)"
  if [ -z "$info" ]; then
    as_root apt-get update -q >/dev/null
    info="$(apt-cache show --no-all-versions "$bin" 2>/dev/null)"
  fi
  # A binary-only rebuild has its own version and names the source's in
  # brackets: "Source: libjpeg-turbo (1:2.1.5-2)".
  printf '%s\n' "$info" | awk -v src="$src" '
    $1 == "Source:" && $2 == src && $3 ~ /^\(/ { sv = $3; gsub(/[()]/, "", sv) }
    $1 == "Version:" { v = $2 }
    END { if (sv != "") print sv; else if (v != "") print v; else exit 1 }'
}

# Reads the apt sources: one-line entries in sources.list and
# sources.list.d/*.list, deb822 stanzas in sources.list.d/*.sources. Given
# "has-src" it exits 0 when an enabled deb-src entry exists; given "entries"
# it prints deb822 stanzas for the source side of each enabled entry of
# Debian's own archive, with the same URIs, suites, components and key.
# Other vendors' archives are left out: most publish no source indexes, and a
# missing index makes apt-get update fail.
_srclib_apt_sources_py='
import glob, os, re, sys

def files():
    out = ["/etc/apt/sources.list"] if os.path.exists("/etc/apt/sources.list") else []
    out += sorted(glob.glob("/etc/apt/sources.list.d/*.list"))
    out += sorted(glob.glob("/etc/apt/sources.list.d/*.sources"))
    return out

def entries():
    for path in files():
        text = open(path, encoding="utf-8", errors="replace").read()
        if path.endswith(".sources"):
            for stanza in re.split(r"\n\s*\n", text):
                fields, key = {}, None
                for line in stanza.splitlines():
                    if line.lstrip().startswith("#"):
                        continue
                    if line[:1] in (" ", "\t") and key:
                        fields[key] += "\n" + line.strip()
                        continue
                    m = re.match(r"([A-Za-z0-9-]+):\s*(.*)", line)
                    if m:
                        key = m.group(1).lower()
                        fields[key] = m.group(2).strip()
                if not fields.get("types") or fields.get("enabled", "yes").lower() == "no":
                    continue
                yield (fields["types"].split(), fields.get("uris", "").split(),
                       fields.get("suites", "").split(), fields.get("components", "").split(),
                       fields.get("signed-by", ""))
        else:
            for line in text.splitlines():
                line = line.split("#", 1)[0].strip()
                m = re.match(r"(deb|deb-src)\s+(?:\[([^\]]*)\]\s+)?(\S+)\s+(\S+)\s*(.*)", line)
                if not m:
                    continue
                opts = dict(o.split("=", 1) for o in (m.group(2) or "").split() if "=" in o)
                yield ([m.group(1)], [m.group(3)], [m.group(4)], m.group(5).split(),
                       opts.get("signed-by", ""))

if sys.argv[1] == "has-src":
    sys.exit(0 if any("deb-src" in e[0] for e in entries()) else 1)

for types, uris, suites, comps, signed in entries():
    uris = [u for u in uris if "debian" in u.lower()]
    if "deb" not in types or not uris or not suites:
        continue
    print("Types: deb-src")
    print("URIs: " + " ".join(uris))
    print("Suites: " + " ".join(suites))
    print("Components: " + " ".join(comps))
    if signed:
        print("Signed-By: " + signed.replace("\n", "\n "))
    print()
'

_srclib_has_deb_src() { python3 -c "$_srclib_apt_sources_py" has-src; }

# srclib_ensure_deb_src: adds deb-src entries beside the deb ones when there
# are none, so that apt-get source can fetch, and refreshes the package lists.
srclib_ensure_deb_src() {
  _srclib_has_deb_src && return 0
  local entries
  entries="$(python3 -c "$_srclib_apt_sources_py" entries)"
  if [ -z "$entries" ]; then
    echo "no Debian archive entry in the apt sources to add deb-src beside" >&2
    return 1
  fi
  echo "adding deb-src entries: /etc/apt/sources.list.d/zedariva-deb-src.sources" >&2
  printf '%s\n' "$entries" | as_root tee /etc/apt/sources.list.d/zedariva-deb-src.sources >/dev/null
  as_root apt-get update -q >/dev/null
}

# srclib_fetch_source SOURCE VERSION DIR: unpacks Debian's source package,
# with Debian's patches applied, under DIR and prints the unpacked folder.
srclib_fetch_source() {
  local src="$1" version="$2" dir="$3"
  srclib_ensure_deb_src || return 1
  if ! (cd "$dir" && apt-get source -q "$src=$version") >"$dir/apt-source.log" 2>&1; then
    # The source index may be older than the binary one: refresh once.
    as_root apt-get update -q >/dev/null
    if ! (cd "$dir" && apt-get source -q "$src=$version") >"$dir/apt-source.log" 2>&1; then
      tail -n 20 "$dir/apt-source.log" >&2
      return 1
    fi
  fi
  # The folder is named after the upstream version: no epoch, no Debian
  # revision ("1:2.1.5-2" unpacks into libjpeg-turbo-2.1.5).
  local upstream="${version#*:}"
  upstream="${upstream%-*}"
  if [ ! -d "$dir/$src-$upstream" ]; then
    echo "apt-get source left no $dir/$src-$upstream" >&2
    return 1
  fi
  printf '%s\n' "$dir/$src-$upstream"
}

# srclib_run LOG COMMAND...: runs COMMAND with its output in LOG, and shows
# the end of LOG when it fails.
srclib_run() {
  local log="$1"
  shift
  if ! "$@" >>"$log" 2>&1; then
    echo "failed: $*" >&2
    tail -n 40 "$log" >&2
    echo "(whole log: $log)" >&2
    return 1
  fi
}

# srclib_cached ROOT NAME SOURCE BINARY TOOLS BUILD_FUNCTION: one library,
# from the cache folder ROOT/<SOURCE>-<version> or built into it; sets
# srclib_prefix to that folder. NAME is a file under the folder that a
# complete build leaves (lib/libjpeg.a). TOOLS is the rest of the build-info,
# one "key=value" a line, naming the compilers and flags: a change there
# builds the library again. BUILD_FUNCTION is called with the unpacked source
# folder, a work folder (whose *.log files become build.log) and the folder
# to install into.
srclib_cached() {
  local root="$1" name="$2" src="$3" bin="$4" tools="$5" build_fn="$6"
  local version info
  version="$(srclib_source_version "$src" "$bin")" || {
    echo "no Debian version of $src found (apt-cache show $bin)" >&2
    return 1
  }
  local prefix="$root/$src-${version#*:}"
  info="source=$src $version
$tools"
  srclib_prefix="$prefix"
  if [ -f "$prefix/build-info" ] && [ "$(cat "$prefix/build-info")" = "$info" ] &&
    [ -f "$prefix/$name" ]; then
    echo "$src $version: $prefix (cached)"
    return 0
  fi

  mkdir -p "$root"
  local work start
  work="$(mktemp -d "${TMPDIR:-/tmp}/zedariva-$(basename "$root")-$src.XXXXXX")" || return 1
  start=$SECONDS
  local unpacked
  unpacked="$(srclib_fetch_source "$src" "$version" "$work")" || return 1
  # Built beside the cache folder and moved into place once complete, so an
  # interrupted build never looks cached.
  local staging="$root/.staging-$src-$$"
  rm -rf "$staging"
  if ! "$build_fn" "$unpacked" "$work" "$staging"; then
    rm -rf "$staging"
    echo "building $src failed; its sources and logs are kept in $work" >&2
    return 1
  fi
  printf '%s\n' "$info" >"$staging/build-info"
  cat "$work"/*.log >"$staging/build.log"
  rm -rf "$prefix"
  mv "$staging" "$prefix" || return 1
  rm -rf "$work"
  echo "$src $version: $prefix (built in $((SECONDS - start)) s)"
}

# srclib_locked ROOT COMMAND...: runs COMMAND (a shell function may set
# variables: it runs in this shell) while holding ROOT/.lock, so that one
# build at a time fills a cache: a second caller waits, then finds the
# libraries cached.
srclib_locked() {
  local root="$1" lock rc
  shift
  mkdir -p "$root"
  exec {lock}>"$root/.lock"
  flock "$lock"
  rc=0
  "$@" || rc=$?
  exec {lock}>&-
  return $rc
}

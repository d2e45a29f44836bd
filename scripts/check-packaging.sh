#!/usr/bin/env bash
# Checks that Corvane installs as a desktop application, the way a user's machine will see it.
#
#   check-packaging.sh files BUILD_DIR   install into a scratch tree and validate what lands there:
#                                        launcher, file manager menus, metainfo, icons, man page, and
#                                        that they agree; Open With lists Corvane without making it
#                                        the default
#   check-packaging.sh deb BUILD_DIR     build the .deb with CPack, check its control fields, install it
#                                        with apt-get, run the installed corvane, then remove it again
#
# BUILD_DIR must already be built. The deb mode changes the machine (needs root or sudo) and leaves it
# as it found it.
set -euo pipefail

mode=${1:-}
build=${2:-}
if [[ -z $mode || -z $build || ! -f $build/CMakeCache.txt ]]; then
  echo "usage: $0 files|deb BUILD_DIR (a configured and built build directory)" >&2
  exit 2
fi
build=$(cd "$build" && pwd)

app_id=org.corvane.Corvane
# The command line's verbs and options, each documented in --help and the man page.
verbs=(--list --json --set --kind --remove --tag --clear --dump --restore --to --find --undo-last --labels
  --bridge --to-desktop --to-mac --bridge-status --recursive --no-dereference --match --dry-run --yes)
icon_sizes=(16 24 32 48 64 128 256)
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cache_value() {
  sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" | head -n1
}
version=$(cache_value CORVANE_VERSION)
[[ -n $version ]] || { echo "no CORVANE_VERSION in $build/CMakeCache.txt" >&2; exit 2; }

desktop_value() {
  sed -n "s/^$1=//p" "$2" | head -n1
}

# A key's value within one [group] of a desktop-entry style file (KDE's service menus, Nemo's actions).
group_value() {
  awk -v group="[$2]" -v key="$3" '
    /^\[/ { inside = ($0 == group); next }
    inside && index($0, key "=") == 1 && !found { print substr($0, length(key) + 2); found = 1 }
  ' "$1"
}

# Whether a ;-separated list holds an item.
list_has() {
  [[ ";$1;" == *";$2;"* ]]
}

# Dolphin shows a service menu's actions for the selected items when its MimeType matches each of them
# (application/octet-stream stands for every file there), runs Exec once with every item (%F), and
# outside the system's own directories only reads the file when it is executable.
check_service_menu() {
  local menu=$1 actions action name exec names=()
  [[ $(group_value "$menu" "Desktop Entry" Type) == Service ]] || fail "$menu: Type is not Service"
  list_has "$(group_value "$menu" "Desktop Entry" X-KDE-ServiceTypes | tr , ';')" KonqPopupMenu/Plugin ||
    fail "$menu: X-KDE-ServiceTypes does not name KonqPopupMenu/Plugin (KIO before 5.85 needs it)"
  local types
  types=$(group_value "$menu" "Desktop Entry" MimeType)
  list_has "$types" application/octet-stream || fail "$menu: MimeType '$types' leaves out files"
  list_has "$types" inode/directory || fail "$menu: MimeType '$types' leaves out folders"
  [[ -x $menu ]] || fail "$menu is not executable: Dolphin ignores it when installed per user"
  actions=$(group_value "$menu" "Desktop Entry" Actions)
  [[ -n $actions ]] || fail "$menu: no Actions"
  IFS=';' read -ra actions <<<"$actions"
  for action in "${actions[@]}"; do
    [[ -n $action ]] || continue
    name=$(group_value "$menu" "Desktop Action $action" Name)
    exec=$(group_value "$menu" "Desktop Action $action" Exec)
    [[ -n $name ]] || fail "$menu: action $action has no [Desktop Action $action] group with a Name"
    [[ $exec == "corvane %F" ]] || fail "$menu: action $action runs '$exec', expected 'corvane %F' (every item, one window each)"
    names+=("$name")
  done
  [[ " ${names[*]} " == *" Show Extended Attributes "* && " ${names[*]} " == *" Edit Metadata Attributes "* ]] ||
    fail "$menu: the actions are '${names[*]}', expected Show Extended Attributes and Edit Metadata Attributes"
}

# Nemo skips an action without Name, Exec, Selection and Extensions or Mimetypes; "any" takes folders too.
check_nemo_action() {
  local action=$1 key
  for key in Name Exec Selection Extensions; do
    [[ -n $(group_value "$action" "Nemo Action" "$key") ]] || fail "$action: no $key in [Nemo Action]"
  done
  [[ $(group_value "$action" "Nemo Action" Active) != false ]] || fail "$action is not Active"
  [[ $(group_value "$action" "Nemo Action" Exec) == "corvane %F" ]] || fail "$action: Exec is not 'corvane %F'"
  [[ $(group_value "$action" "Nemo Action" Selection) == notnone ]] ||
    fail "$action: Selection is not notnone (one item or several)"
  [[ $(group_value "$action" "Nemo Action" Extensions) == "any;" ]] ||
    fail "$action: Extensions is not 'any;' (files and folders)"
  # Nemo escapes double quotes in the paths it inserts, and only those.
  [[ $(group_value "$action" "Nemo Action" Quote) == double ]] ||
    fail "$action: Quote is not double, so a name with a space splits in two"
}

# The launcher is offered for a text file and a folder, yet a desktop's own default stays the default.
# That default sits in a data directory after Corvane's, where a mimeapps.list of Corvane's own would
# come first.
check_handlers() {
  local prefix=$1 scratch output default
  if ! command -v gio >/dev/null || ! command -v update-desktop-database >/dev/null; then
    fail "gio (libglib2.0-bin) or update-desktop-database (desktop-file-utils) missing: file associations unchecked"
    return
  fi
  scratch=$(mktemp -d)
  mkdir -p "$scratch/desktop/applications" "$scratch/home" "$scratch/config"
  cat >"$scratch/desktop/applications/text-viewer.desktop" <<'ENTRY'
[Desktop Entry]
Type=Application
Name=Text Viewer
Exec=cat %F
Terminal=true
MimeType=text/plain;
ENTRY
  printf '[Default Applications]\ntext/plain=text-viewer.desktop\n' >"$scratch/desktop/applications/mimeapps.list"
  update-desktop-database "$scratch/desktop/applications"
  # An installed package's cache is kept by dpkg's trigger; a staged tree has none yet.
  [[ $prefix == /usr ]] || update-desktop-database "$prefix/share/applications"
  local type
  for type in text/plain inode/directory; do
    output=$(env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$scratch/home" XDG_DATA_HOME="$scratch/home" \
      XDG_CONFIG_HOME="$scratch/config" XDG_CONFIG_DIRS="$scratch/config" \
      XDG_DATA_DIRS="$prefix/share:$scratch/desktop" gio mime "$type" 2>&1) || true
    grep -qx $'\t'"$app_id.desktop" <<<"$(sed -n '/^Registered applications:/,/^[^\t]/p' <<<"$output")" ||
      fail "gio mime $type does not list $app_id.desktop among the handlers: $output"
    if [[ $type == text/plain ]]; then
      default=$(sed -n 's/^Default application for .*: //p' <<<"$output")
      [[ $default == text-viewer.desktop ]] ||
        fail "installing Corvane made '$default' the default for text/plain instead of the desktop's own"
      echo "gio mime text/plain: default $default, handlers $(sed -n 's/^\t//p' <<<"$output" | sort -u | paste -sd' ')"
    fi
  done
  rm -rf "$scratch"
}

# The shells complete options, their values, attribute labels (asked of the installed corvane) and
# files; each completion is run as its shell runs it, the shells that are not installed skipped.
check_completions() {
  local prefix=$1
  local bash_file=$prefix/share/bash-completion/completions/corvane
  local zsh_file=$prefix/share/zsh/vendor-completions/_corvane
  local fish_file=$prefix/share/fish/vendor_completions.d/corvane.fish
  [[ $prefix == */usr ]] || zsh_file=$prefix/share/zsh/site-functions/_corvane
  local f
  for f in "$bash_file" "$zsh_file" "$fish_file"; do
    [[ -e $f ]] || { fail "not installed: $f"; return 0; }
  done
  local got
  got=$(PATH=$prefix/bin:$PATH bash -c 'source "$1"
    COMP_WORDS=(corvane --set Where); COMP_CWORD=2; _corvane; echo "${COMPREPLY[*]}"
    COMP_WORDS=(corvane --kind ""); COMP_CWORD=2; _corvane; echo "${COMPREPLY[*]}"
    COMP_WORDS=(corvane --undo); COMP_CWORD=1; _corvane; echo "${COMPREPLY[*]}"' - "$bash_file")
  [[ $got == $'Where\\ from\nlist tags date text plain\n--undo-last' ]] ||
    fail "bash completes '$got', expected a label, the kinds and an option"
  if command -v zsh >/dev/null; then
    zsh -n "$zsh_file" || fail "zsh cannot read $zsh_file"
  else
    echo "zsh is not installed: not checking its completion"
  fi
  if command -v fish >/dev/null; then
    # fish writes its own variables and history under its config and data folders at start: a
    # scratch home of its own, never the user's.
    local fish_home
    fish_home=$(mktemp -d)
    got=$(HOME=$fish_home XDG_CONFIG_HOME=$fish_home/config XDG_DATA_HOME=$fish_home/data \
      PATH=$prefix/bin:$PATH fish -c 'source $argv[1]; complete -C "corvane --set Wh"; complete -C "corvane --ki"' "$fish_file")
    rm -rf "$fish_home"
    [[ $got == $'Where from\tStore a value: NAME VALUE\n--kind\tHow --set stores the value' ]] ||
      fail "fish completes '$got', expected a label and an option"
  else
    echo "fish is not installed: not checking its completion"
  fi
}

# A German desktop shows the entries' German names: every key a user reads has a [de] twin, and the
# metainfo's description is German paragraph for paragraph.
check_german() {
  local desktop=$1 service_menu=$2 metainfo=$3 file key action
  shift 3
  for key in Name GenericName Comment Keywords; do
    [[ -n $(group_value "$desktop" "Desktop Entry" "$key[de]") ]] || fail "$desktop: no $key[de]"
  done
  for action in $(group_value "$desktop" "Desktop Entry" Actions | tr ';' ' '); do
    [[ -n $(group_value "$desktop" "Desktop Action $action" "Name[de]") ]] ||
      fail "$desktop: action $action has no Name[de]"
  done
  for action in $(group_value "$service_menu" "Desktop Entry" Actions | tr ';' ' '); do
    [[ -n $(group_value "$service_menu" "Desktop Action $action" "Name[de]") ]] ||
      fail "$service_menu: action $action has no Name[de]"
  done
  for file in "$@"; do
    for key in Name Comment; do
      [[ -n $(group_value "$file" "Nemo Action" "$key[de]") ]] || fail "$file: no $key[de] in [Nemo Action]"
    done
  done
  for key in name summary; do
    [[ -n $(xmllint --xpath "string(/component/$key[@xml:lang='de'])" "$metainfo") ]] ||
      fail "metainfo has no German $key"
  done
  local english german
  english=$(xmllint --xpath "count(/component/description//*[(self::p or self::li) and not(@xml:lang)])" "$metainfo")
  german=$(xmllint --xpath "count(/component/description//*[(self::p or self::li) and @xml:lang='de'])" "$metainfo")
  [[ $english == "$german" ]] ||
    fail "metainfo's description has $english English paragraphs and items but $german German ones"
}

# Validates one installed tree rooted at $1 (a prefix such as /usr, possibly under a DESTDIR).
check_tree() {
  local prefix=$1
  local desktop=$prefix/share/applications/$app_id.desktop
  local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
  local man=$prefix/share/man/man1/corvane.1.gz
  local svg=$prefix/share/icons/hicolor/scalable/apps/$app_id.svg
  local service=$prefix/share/dbus-1/services/$app_id.service
  local service_menu=$prefix/share/kio/servicemenus/$app_id.servicemenu.desktop
  local nemo_actions=("$prefix/share/nemo/actions/$app_id".{show-attributes,edit-metadata}.nemo_action)
  local failures_before=$failures

  # Slim container images tell dpkg to drop man pages; the package still ships one (checked in files mode).
  if [[ $prefix == /usr ]] && grep -Eqs '^path-exclude[= ]+/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    echo "dpkg on this machine excludes /usr/share/man: not checking the installed man page"
    man=
  fi

  local f
  for f in "$prefix/bin/corvane" "$desktop" "$metainfo" ${man:+"$man"} "$svg" "$service" "$service_menu" \
    "${nemo_actions[@]}"; do
    [[ -e $f ]] || fail "not installed: $f"
  done
  [[ -x $prefix/bin/corvane ]] || fail "$prefix/bin/corvane is not executable"
  ((failures == failures_before)) || return 0

  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

  # The launcher runs Exec through PATH and finds the icon by name; a renamed binary or icon would
  # leave a dead or blank entry in the menu, which neither validator notices.
  local exec icon
  exec=$(desktop_value Exec "$desktop")
  [[ $exec == "corvane %F" ]] || fail "Exec is '$exec', expected 'corvane %F' (files from the file manager)"
  icon=$(desktop_value Icon "$desktop")
  [[ $icon == "$app_id" ]] || fail "Icon is '$icon', expected '$app_id' (the installed icon's name)"

  # Open With lists Corvane for every file and folder (text/plain for desktops that match only the
  # specific type), and nothing in the entry asks to be the default for any of them.
  local types type
  types=$(group_value "$desktop" "Desktop Entry" MimeType)
  for type in application/octet-stream inode/directory text/plain; do
    list_has "$types" "$type" || fail "the launcher's MimeType '$types' lacks $type"
  done
  ! grep -q '^InitialPreference=' "$desktop" || fail "the launcher ranks itself with InitialPreference"
  check_service_menu "$service_menu"
  for f in "${nemo_actions[@]}"; do
    check_nemo_action "$f"
  done
  check_german "$desktop" "$service_menu" "$metainfo" "${nemo_actions[@]}"
  check_handlers "$prefix"
  check_completions "$prefix"

  # --help shows every verb of the command line with an example.
  local help verb
  help=$("$prefix/bin/corvane" --help) || fail "corvane --help fails"
  for verb in "${verbs[@]}"; do
    grep -q -- "$verb" <<<"$help" || fail "corvane --help does not show $verb"
  done
  for verb in --list --set --remove --tag --clear --undo-last --dump --restore --find; do
    grep -q -- "corvane $verb" <<<"$help" || fail "corvane --help has no example of $verb"
  done

  # A DBusActivatable launcher is started through the bus by the service file of the same name; the
  # bus runs Exec without PATH, so it must name the installed binary by its full path (the prefix as
  # installed, without the staging directory).
  [[ $(desktop_value DBusActivatable "$desktop") == true ]] || fail "the launcher is not DBusActivatable"
  local service_name service_exec installed_prefix=${prefix#"${stage:-}"}
  service_name=$(desktop_value Name "$service")
  service_exec=$(desktop_value Exec "$service")
  [[ $service_name == "$app_id" ]] || fail "the D-Bus service's Name is '$service_name', expected '$app_id'"
  [[ $service_exec == "$installed_prefix/bin/corvane "* ]] ||
    fail "the D-Bus service's Exec is '$service_exec', expected '$installed_prefix/bin/corvane ...'"

  # Software centres join the metainfo to the launcher by these two names.
  local id launchable release
  id=$(xmllint --xpath 'string(/component/id)' "$metainfo")
  launchable=$(xmllint --xpath 'string(/component/launchable[@type="desktop-id"])' "$metainfo")
  release=$(xmllint --xpath 'string(/component/releases/release[1]/@version)' "$metainfo")
  [[ $id == "$app_id" ]] || fail "metainfo id is '$id', expected '$app_id'"
  [[ $launchable == "$app_id.desktop" ]] || fail "metainfo launchable is '$launchable', expected '$app_id.desktop'"
  [[ $release == "$version" ]] || fail "metainfo's newest release is '$release', the build is '$version'"
  [[ -n $(xmllint --xpath 'string(/component/content_rating/@type)' "$metainfo") ]] ||
    fail "metainfo has no content_rating"
  [[ -n $(xmllint --xpath 'string(/component/screenshots/screenshot/image)' "$metainfo") ]] ||
    fail "metainfo has no screenshot"

  xmllint --noout "$svg" || fail "$svg is not well-formed XML"
  local size png dims
  for size in "${icon_sizes[@]}"; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    if [[ ! -e $png ]]; then
      fail "not installed: $png"
      continue
    fi
    dims=$(file -b "$png")
    [[ $dims == *"PNG image data, $size x $size,"* ]] || fail "$png is not a ${size}x$size PNG: $dims"
  done

  [[ -n $man ]] || return 0
  # man prints formatting problems on stderr but still exits 0, so stderr is what counts.
  local rendered warnings
  warnings=$(mktemp)
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man" 2>"$warnings") ||
    fail "man cannot render $man"
  if [[ -s $warnings ]]; then
    fail "man page warnings: $(cat "$warnings")"
  fi
  rm -f "$warnings"
  local section
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "SEE ALSO"; do
    grep -qx "$section" <<<"$rendered" || fail "man page has no $section section"
  done
  grep -q -- "--version" <<<"$rendered" || fail "man page does not document --version"
  for verb in "${verbs[@]}"; do
    grep -q -- "$verb" <<<"$rendered" || fail "man page does not document $verb"
  done
  for section in "EXIT STATUS" "EXAMPLES" "TEXT FORM"; do
    grep -qx "$section" <<<"$rendered" || fail "man page has no $section section"
  done
  grep -q "Corvane $version" <<<"$rendered" || fail "man page is not for version $version"
}

check_files() {
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
  local lists
  lists=$(find "$stage" -name '*.list')
  [[ -z $lists ]] || fail "the install changes which application opens a type: $lists"
  check_tree "$stage/usr"
}

run_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

apt_quiet() {
  DEBIAN_FRONTEND=noninteractive run_root apt-get -o DPkg::Lock::Timeout=300 "$@"
}

remove_installed() {
  if dpkg-query -W -f='${db:Status-Status}' corvane 2>/dev/null | grep -qx installed; then
    apt_quiet remove -y -q corvane >/dev/null
  fi
}

# The package that installed a library, looking through its symbolic links and the merged /usr
# (dpkg records /lib paths while the files live under /usr/lib, or the other way round).
package_owning() {
  local real candidate owner
  real=$(readlink -f "$1")
  for candidate in "$1" "$real" "${real#/usr}"; do
    owner=$(dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1) || true
    if [[ -n $owner ]]; then
      echo "$owner"
      return
    fi
  done
}

check_deb() {
  # global: the EXIT trap still needs it after this function returns
  out=$(mktemp -d)
  (cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
  local debs=("$out"/corvane_*.deb)
  [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { fail "cpack made no corvane_*.deb in $out"; return; }
  local deb=${debs[0]}
  echo "== $(basename "$deb")"
  dpkg-deb --field "$deb"

  [[ $(dpkg-deb --field "$deb" Package) == corvane ]] || fail "package name is not corvane"
  [[ $(dpkg-deb --field "$deb" Version) == "$version" ]] || fail "package version is not $version"
  [[ $(dpkg-deb --field "$deb" Section) == utils ]] || fail "section is not utils"
  [[ -n $(dpkg-deb --field "$deb" Maintainer) ]] || fail "no maintainer"
  # Every library the binary is linked against must come from a package the .deb depends on,
  # otherwise a fresh machine installs it and corvane fails to start.
  local depends needed path owner
  depends=" $(dpkg-deb --field "$deb" Depends | sed 's/([^)]*)//g; s/[|,]/ /g') "
  dpkg-deb -x "$deb" "$out/root"
  for needed in $(objdump -p "$out/root/usr/bin/corvane" | awk '$1 == "NEEDED" { print $2 }'); do
    # awk reads to the end: leaving early would stop ldconfig with SIGPIPE, which pipefail makes fatal.
    path=$(ldconfig -p | awk -v lib="$needed" '!found && $1 == lib && /x86-64|AArch64|64bit/ { print $NF; found = 1 }')
    [[ -n $path ]] || path=$(ldconfig -p | awk -v lib="$needed" '!found && $1 == lib { print $NF; found = 1 }')
    owner=$(package_owning "$path")
    if [[ -z $owner ]]; then
      fail "no Debian package owns $needed ($path)"
    elif [[ $depends != *" $owner "* ]]; then
      fail "corvane links $needed from $owner, which Depends does not name:$depends"
    fi
  done
  if objdump -p "$out/root/usr/bin/corvane" | grep -Eq '^ *(RUNPATH|RPATH) '; then
    fail "the packaged corvane carries a library search path: $(objdump -p "$out/root/usr/bin/corvane" | grep -E 'RUNPATH|RPATH')"
  fi
  for needed in libqt6core6 libqt6widgets6; do
    [[ $depends == *" $needed "* ]] || fail "Depends lacks $needed:$depends"
  done
  # Stripping is on: a binary with its debug information would be many times the size.
  local listing
  listing=$(dpkg-deb --contents "$deb")
  grep -q ' \./usr/bin/corvane$' <<<"$listing" || fail "the package has no /usr/bin/corvane"
  grep -q ' \./usr/share/man/man1/corvane\.1\.gz$' <<<"$listing" || fail "the package has no man page"
  ! grep -q '\./usr/local/' <<<"$listing" || fail "the package installs under /usr/local"
  ! grep -Eq '/applications/([^/]*-)?(mimeapps|defaults)\.list$' <<<"$listing" ||
    fail "the package changes which application opens a type: $(grep -E '\.list$' <<<"$listing")"
  grep -Eq '^-rwxr-xr-x .* \./usr/share/kio/servicemenus/'"$app_id"'\.servicemenu\.desktop$' <<<"$listing" ||
    fail "the package's service menu is missing or not executable"

  if dpkg-query -W -f='${db:Status-Status}' corvane 2>/dev/null | grep -qx installed; then
    echo "corvane is already installed; removing it to test a fresh install"
    remove_installed
  fi
  trap 'remove_installed; rm -rf "$out"' EXIT
  (cd "$out" && apt_quiet install -y -q ./"$(basename "$deb")")

  [[ $(command -v corvane) == /usr/bin/corvane ]] || fail "corvane on PATH is $(command -v corvane || echo nothing)"
  check_tree /usr

  # stdout only: Qt may warn on stderr (no XDG_RUNTIME_DIR under CI) without anything being wrong.
  local output
  if output=$(QT_QPA_PLATFORM=offscreen timeout 60 corvane --version); then
    echo "installed corvane --version: $output"
    [[ $output == *"$version"* ]] || fail "corvane --version prints '$output', not the version $version"
  else
    fail "installed corvane --version failed ($?): $output"
  fi
  if output=$(QT_QPA_PLATFORM=offscreen timeout 60 corvane --help); then
    grep -q -- "--version" <<<"$output" || fail "corvane --help does not mention --version: $output"
    grep -qi "files" <<<"$output" || fail "corvane --help does not document the file arguments: $output"
  else
    fail "installed corvane --help failed ($?): $output"
  fi
  if [[ -e /usr/share/man/man1/corvane.1.gz ]]; then
    [[ $(man -w corvane 2>/dev/null) == /usr/share/man/man1/corvane.1.gz ]] ||
      fail "man -w corvane does not find the installed page"
  fi

  remove_installed
  trap 'rm -rf "$out"' EXIT
  [[ ! -e /usr/bin/corvane ]] || fail "/usr/bin/corvane is still there after apt-get remove"
}

case $mode in
  files) check_files ;;
  deb) check_deb ;;
  *) echo "unknown mode '$mode' (files or deb)" >&2; exit 2 ;;
esac

if ((failures > 0)); then
  echo "$failures packaging check(s) failed" >&2
  exit 1
fi
echo "packaging checks passed ($mode)"

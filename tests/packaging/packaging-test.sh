#!/usr/bin/env bash
# The packaging checks, one case per CTest test:
#   packaging-test.sh CASE BUILD_DIR TEST_SOURCE_DIR SCRATCH_DIR VERSION
# "install" installs the build into SCRATCH_DIR/install for the cases after it.
# A case whose tool is missing exits 77 (skipped) and says which tool.
set -euo pipefail
case_name=$1 build=$2 here=$3 scratch=$4 version=$5
install_root=$scratch/install
id=com.brackwyn.Quorvane
mime_type=application/x-quorvane-menushortcuts

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed ($2)"; exit 77; }; }

# The programs run here must never see the user's own folders.
isolate() {
  local home=$1
  mkdir -p "$home"
  export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
  unset QUORVANE_HOME XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
}

# Files under a root, relative and sorted, for comparing with an expected list.
file_list() { (cd "$1" && find . -type f -o -type l) | sed 's|^\./||' | LC_ALL=C sort; }

expect_same_files() { # ROOT PREFIX
  local expected
  expected=$(sed "s|^|$2|" "$here/installed-files.txt")
  diff -u <(echo "$expected") <(file_list "$1") >&2 || fail "the installed files differ from installed-files.txt (- expected, + found)"
}

# Starts the application without a screen and checks it is still up two seconds later.
expect_application_starts() { # EXECUTABLE HOME
  QT_QPA_PLATFORM=offscreen "$1" --home "$2/preferences" >"$2/app.log" 2>&1 &
  local pid=$! waited=0
  while ((waited < 20)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      local status=0
      wait "$pid" || status=$?
      fail "$1 exited with $status at start: $(cat "$2/app.log")"
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

case $case_name in
install)
  rm -rf "$install_root"
  cmake --install "$build" --prefix "$install_root" >/dev/null
  ;;

installed_files)
  expect_same_files "$install_root" ""
  [[ -x $install_root/bin/quorvane && -x $install_root/bin/quorvane-cli ]] || fail "the executables are not executable"
  gzip -t "$install_root/share/man/man1/quorvane-cli.1.gz" || fail "the manual page is no gzip file"
  # The manual page tells what the tool's help tells.
  page=$(zcat "$install_root/share/man/man1/quorvane-cli.1.gz")
  for command in $("$install_root/bin/quorvane-cli" help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p'); do
    grep -q -- "$command" <<<"$page" || fail "the manual page does not mention \"$command\""
  done
  grep -q "$version" <<<"$page" || fail "the manual page does not give version $version"
  ;;

desktop_entry)
  need desktop-file-validate desktop-file-utils
  entry=$install_root/share/applications/$id.desktop
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
  grep -qx "Exec=quorvane %F" "$entry" || fail "Exec must open the files it is given"
  grep -qx "MimeType=$mime_type;" "$entry" || fail "the entry does not claim $mime_type"
  grep -qx "Icon=$id" "$entry" || fail "the entry's icon is not the installed one"
  ;;

metainfo)
  need appstreamcli appstream
  metainfo=$install_root/share/metainfo/$id.metainfo.xml
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
  ;;

mime_type)
  need xdg-mime xdg-utils
  need update-mime-database shared-mime-info
  need update-desktop-database desktop-file-utils
  need mimetype libfile-mimeinfo-perl
  # The desktop's caches are built on a copy, as the package manager's triggers would.
  data=$scratch/mime-data
  rm -rf "$data"
  mkdir -p "$data"
  cp -r "$install_root/share/mime" "$install_root/share/applications" "$data/"
  update-mime-database "$data/mime"
  update-desktop-database "$data/applications"
  isolate "$scratch/mime-home"
  export XDG_DATA_DIRS=$data:/usr/share
  sample="$scratch/My Shortcuts.menuShortcuts"
  printf '{"kind": "export", "version": 1, "applications": []}\n' >"$sample"
  found=$(xdg-mime query filetype "$sample")
  [[ $found == "$mime_type" ]] || fail "xdg-mime says \"$found\" for a .menuShortcuts file"
  opener=$(xdg-mime query default "$mime_type")
  [[ $opener == "$id.desktop" ]] || fail "xdg-mime opens $mime_type with \"$opener\""
  # Other JSON stays JSON.
  printf '{}\n' >"$scratch/other.json"
  found=$(xdg-mime query filetype "$scratch/other.json")
  [[ $found == application/json ]] || fail "xdg-mime says \"$found\" for a .json file"
  ;;

debian_package)
  need dpkg-shlibdeps dpkg-dev
  out=$scratch/deb
  rm -rf "$out"
  # Packs what is built; the test command has built it already.
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$scratch/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$scratch/cpack.log")"
  deb=$(echo "$out"/quorvane_"$version"_*.deb)
  [[ -f $deb ]] || fail "no quorvane_${version}_*.deb in $out"

  depends=$(dpkg-deb --field "$deb" Depends)
  echo "Depends: $depends"
  for package in libqt6core6 libqt6gui6 libqt6widgets6 libxkbcommon0 libsqlite3-0 qt6-qpa-plugins; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package"
  done

  root=$scratch/deb-root
  rm -rf "$root"
  dpkg -x "$deb" "$root"
  expect_same_files "$root" "usr/"
  # The metainfo, the desktop entry and the icons fit together as installed.
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the package's files"
  fi
  isolate "$scratch/deb-home"
  found=$("$root/usr/bin/quorvane-cli" version)
  [[ $found == "Quorvane $version" ]] || fail "quorvane-cli version says \"$found\""
  expect_application_starts "$root/usr/bin/quorvane" "$scratch/deb-home"
  ;;

*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"

#!/usr/bin/env bash
# What `cmake --install` and `cpack -G DEB` make of a build: the programs, the
# help files, the desktop entry and the icon in the usual folders; F1 of the
# installed program finds the installed help and, with no desktop opener for
# it, starts the help viewer; the desktop entry starts the program in the home
# folder; the Debian package depends on what the program needs at run time.
#   install_test.sh BUILD_DIR HELP_PROBE CMAKE CPACK
set -uo pipefail
build=$1 probe=$2 cmake=$3 cpack=$4
scratch=$(mktemp -d)
program=""
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Waits up to ten seconds for a command to succeed.
await() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }

prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
help=""
[ -f "$build/app/VandrelEnglish.chm" ] && help="share/vandrel/help/VandrelEnglish.chm share/vandrel/help/VandrelGerman.chm"
for file in bin/vandrel bin/vandrel-cli share/applications/vandrel.desktop \
            share/icons/hicolor/64x64/apps/vandrel.png $help; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done

if [ -n "$help" ]; then
  # Offscreen there is no desktop opener: a help viewer on the PATH gets the file.
  mkdir "$scratch/viewer"
  printf '#!/bin/sh\nprintf %%s "$1" > "%s/opened"\n' "$scratch" >"$scratch/viewer/xchm"
  chmod +x "$scratch/viewer/xchm"
  cp "$probe" "$prefix/bin/"
  installed_probe="$prefix/bin/$(basename "$probe")"
  PATH="$scratch/viewer:$PATH" QT_QPA_PLATFORM=offscreen "$installed_probe" VandrelGerman.chm 2>/dev/null ||
    fail "F1 of the installed program opened nothing"
  await test -s "$scratch/opened" || fail "the help viewer was not started"
  [ "$(cat "$scratch/opened" 2>/dev/null)" = "$prefix/share/vandrel/help/VandrelGerman.chm" ] ||
    fail "the help viewer got '$(cat "$scratch/opened" 2>/dev/null)'"
  # On a real display the desktop's opener reports success whether or not a
  # program is set up for .chm files: without one the viewer gets the file, with
  # one the opener does.
  if command -v xvfb-run >/dev/null; then
    printf '#!/bin/sh\nprintf %%s "$1" > "%s/desktop"\n' "$scratch" >"$scratch/viewer/xdg-open"
    for handler in "" xchm.desktop; do
      rm -f "$scratch/opened" "$scratch/desktop"
      printf '#!/bin/sh\nprintf "%s"\n' "$handler" >"$scratch/viewer/xdg-mime"
      chmod +x "$scratch/viewer/xdg-open" "$scratch/viewer/xdg-mime"
      env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
        PATH="$scratch/viewer:$PATH" QT_QPA_PLATFORM=xcb xvfb-run -a "$installed_probe" VandrelGerman.chm \
        >/dev/null 2>&1 || fail "F1 on a display (handler '$handler') opened nothing"
      if [ -z "$handler" ]; then
        await test -s "$scratch/opened" || fail "with no program for .chm files the help viewer was not started"
        [ ! -e "$scratch/desktop" ] || fail "the desktop's opener got the help although it has no program for it"
      else
        await test -s "$scratch/desktop" || fail "the desktop's opener did not get the help"
      fi
    done
  fi
  # With nothing to open it the program says so (the hint box).
  PATH=/nonexistent QT_QPA_PLATFORM=offscreen "$installed_probe" VandrelGerman.chm 2>/dev/null &&
    fail "F1 with no viewer at all claims the help opened"
fi

# The desktop entry, started as a desktop starts it, from somewhere else.
entry=$prefix/share/applications/vandrel.desktop
command=$(sed -n 's/^Exec=//p' "$entry")
[ "$(sed -n 's/^TryExec=//p' "$entry")" = "$prefix/bin/vandrel" ] || fail "TryExec is not the installed program"
mkdir "$scratch/home"
printf 'LANGUAGE=0\r\n' >"$scratch/home/Vandrel.ini"
(cd / && HOME="$scratch/home" QT_QPA_PLATFORM=offscreen eval "exec $command" >/dev/null 2>&1) &
program=$!
runs_vandrel() { [ "$(readlink "/proc/$program/exe")" = "$prefix/bin/vandrel" ]; }
await runs_vandrel || fail "the desktop entry did not start vandrel"
[ "$(readlink "/proc/$program/cwd")" = "$scratch/home" ] || fail "vandrel runs in $(readlink "/proc/$program/cwd"), not the home folder"
kill "$program" 2>/dev/null
program=""

# The Debian package.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >/dev/null || fail "cpack -G DEB"
deb=$(ls "$scratch"/deb/*.deb 2>/dev/null | head -n 1)
if [ -n "$deb" ]; then
  depends=$(dpkg-deb -f "$deb" Depends)
  for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libjpeg62-turbo libosmesa6 \
                 qt6-translations-l10n qt6-image-formats-plugins; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "the package does not depend on $package: $depends"
  done
  contents=$(dpkg-deb -c "$deb")
  for file in ./usr/bin/vandrel ./usr/bin/vandrel-cli ./usr/share/applications/vandrel.desktop \
              ./usr/share/icons/hicolor/64x64/apps/vandrel.png; do
    grep -q " $file\$" <<<"$contents" || fail "not in the package: $file"
  done
  dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/applications/vandrel.desktop | grep -q "^TryExec=/usr/bin/vandrel$" ||
    fail "the packaged desktop entry does not name /usr/bin/vandrel"
else
  fail "no .deb was made"
fi

[ "$failures" -eq 0 ]

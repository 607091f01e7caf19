#!/usr/bin/env bash
# Takes docs/main-window.png: the real main window on a virtual X screen (Xvfb)
# with the two sample models opened through the Open commands and a few
# keyframes copied into the Clipboard. Copies it to help/images/ when there is
# a help/ folder. Then docs/main-window-150.png, the window at a scale factor of
# 1.5 on a 1280x1024 screen, and docs/clipboard-box-german.png, the Clipboard's
# frame in German at 1.5. Builds the screenshot tool first if needed.
#   scripts/screenshot.sh            (build folder: build, or $VANDREL_BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${VANDREL_BUILD_DIR:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${VANDREL_JOBS:-2}" --target vandrel_screenshot

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# A small model on a skeleton of three bones, keyed at the given frames.
write_model() {
  local file="$1"; shift
  {
    printf '// MilkShape 3D ASCII\r\n\r\nFrames: 30\r\nFrame: 1\r\n\r\nMeshes: 0\r\n\r\nMaterials: 0\r\n\r\nBones: 3\r\n'
    local bone parent
    for bone in 0 1 2; do
      parent=""; [ "$bone" -gt 0 ] && parent="joint$((bone - 1))"
      printf '"joint%d"\r\n"%s"\r\n0 %d.000000 1.500000 0.000000 0.000000 0.000000 0.%d00000\r\n' "$bone" "$parent" "$bone" "$bone"
      for kind in 1 2; do
        printf '%d\r\n' "$#"
        for frame in "$@"; do
          printf '%d.000000 0.%d00000 %d.000000 0.000000\r\n' "$frame" "$kind" "$bone"
        done
      done
    done
  } >"$file"
}

# The window shows the models' paths: they are opened by relative paths from
# the folder they lie in, so no folder of this machine is in the picture.
models=.
model1=examples/walk.txt
model2=examples/other.txt
if [ ! -f "$model1" ] || [ ! -f "$model2" ]; then
  models="$scratch"
  model1=walk.txt
  model2=other.txt
  write_model "$scratch/$model1" 1 5 10 15 20 25 30
  write_model "$scratch/$model2" 1 8 16 24
fi

mkdir -p docs
tool="$(cd "$build" && pwd)/tests/gui/vandrel_screenshot"
docs="$PWD/docs"
picture="$docs/main-window.png"
(cd "$models" && env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$tool" "$model1" "$model2" "$picture")
echo "docs/main-window.png"
(cd "$models" && env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$tool" "$model1" "$model2" "$docs/main-window-150.png")
echo "docs/main-window-150.png"
(cd "$models" && env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$tool" "$model1" "$model2" "$docs/clipboard-box-german.png" german clipboard)
echo "docs/clipboard-box-german.png"
if [ -d help ]; then
  mkdir -p help/images
  cp docs/main-window.png help/images/main-window.png
  echo "help/images/main-window.png"
fi

#!/usr/bin/env bash
# Renders the pictures drawn in svg/ into the PNG files the program loads:
# tool bar buttons at 16 x 16 and 32 x 32 (@2x, for dense screens), cursors
# at 32 x 32 and 64 x 64, the splash picture at 300 x 258, the program icon
# in the sizes the desktop asks for. Run it after changing a drawing; the
# PNG files are kept with the sources, so building needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
render() {  # svg, png, density
  convert -background none -density "$3" "$1" -strip "PNG32:$2"
}
for svg in svg/*.svg; do
  name=$(basename "$svg" .svg)
  case "$name" in
    splash) render "$svg" splash.png 96 ;;
    app)
      for size in 32 64 128 256; do render "$svg" "icons/app-$size.png" $((96 * size / 64)); done ;;
    cursor_*)
      render "$svg" "cursors/${name#cursor_}.png" 96
      render "$svg" "cursors/${name#cursor_}@2x.png" 192 ;;
    *)
      render "$svg" "icons/$name.png" 96
      render "$svg" "icons/$name@2x.png" 192 ;;
  esac
done

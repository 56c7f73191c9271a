#!/usr/bin/env bash
# Regenerates every generated picture under assets/: the main window
# background and the program icons.  Safe to run repeatedly; the outputs are
# deterministic and simply overwritten.
#
# Needs ImageMagick, python3 and rsvg-convert (Debian: librsvg2-bin) for
# rendering the SVG icon.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

"$here/make-background.sh" "$here/../assets/background.jpg"
python3 "$here/make-icon.py"
python3 "$here/check-background-contrast.py" "$here/../assets/background.jpg"

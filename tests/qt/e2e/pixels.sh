# Sourced by the end-to-end scripts: pictures compared as the stage's 5-6-5 values, since the
# window widens 16-bit pixels one way and the runner's PNGs another. ImageMagick's -evaluate
# works on its own quantum: a Q16 build keeps an 8-bit v as v*257, so its masks are doubled.
if [ "$(convert xc: -format '%q' info:)" = 16 ]; then
  mask5=63736 mask6=64764
else
  mask5=248 mask6=252
fi
quantise() { convert "$1" -channel R -evaluate And "$mask5" -channel G -evaluate And "$mask6" \
  -channel B -evaluate And "$mask5" +channel "$2"; }

# A comparison of blanks would pass for any two pages: a colour must come through unchanged.
quantise xc:'#3167A3' "${TMPDIR:-/tmp}/talu-quantise-$$.png"
kept=$(convert "${TMPDIR:-/tmp}/talu-quantise-$$.png" -depth 8 -format '%[hex:p{0,0}]' info:)
rm -f "${TMPDIR:-/tmp}/talu-quantise-$$.png"
[ "$kept" = 3064A0 ] || { echo "ImageMagick's masks turned #3167A3 into #$kept"; exit 1; }

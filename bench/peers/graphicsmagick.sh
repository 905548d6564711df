# shellcheck shell=bash
# GraphicsMagick: one gm mogrify call converts all the pictures of a job. For
# PNG, -quality 71 is zlib level 7 with the Sub filter on every row.
uses GraphicsMagick graphicsmagick
threads GraphicsMagick OMP_NUM_THREADS
gm_name="GraphicsMagick gm mogrify"
gm="gm mogrify -define jpeg:dct-method=float"
run jpeg-png "$gm_name" "$gm -format png -quality 71 *.jpg"
run jpeg-bmp "$gm_name" "$gm -format bmp *.jpg"
run png-jpeg "$gm_name" "$gm -sampling-factor 2x2 -quality 90 -format jpg *.png"
run bmp-jpeg "$gm_name" "$gm -sampling-factor 2x2 -quality 90 -format jpg *.bmp"
run jpeg-tiff "$gm_name" "$gm -compress None -format tiff *.jpg"
run jpeg-gif "$gm_name" "$gm -dither -colors 256 -format gif *.jpg" "own dither"
note "GraphicsMagick's -dither has no choice of method."

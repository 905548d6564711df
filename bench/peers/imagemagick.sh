# shellcheck shell=bash
# ImageMagick: one mogrify call converts all the pictures of a job. For PNG,
# -quality 71 is zlib level 7 with the Sub filter on every row.
uses ImageMagick imagemagick
threads ImageMagick MAGICK_THREAD_LIMIT OMP_NUM_THREADS
im_name="ImageMagick mogrify"
im="mogrify -define jpeg:dct-method=float"
run jpeg-png "$im_name" "$im -format png -quality 71 *.jpg"
run jpeg-bmp "$im_name" "$im -define bmp:format=bmp3 -format bmp *.jpg"
run png-jpeg "$im_name" "$im -sampling-factor 2x2 -quality 90 -format jpg *.png"
run bmp-jpeg "$im_name" "$im -sampling-factor 2x2 -quality 90 -format jpg *.bmp"
run jpeg-tiff "$im_name" "$im -compress none -format tiff *.jpg"
run jpeg-gif "$im_name" "$im -dither FloydSteinberg -colors 256 -format gif *.jpg"

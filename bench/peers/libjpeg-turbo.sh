# shellcheck shell=bash disable=SC2016  # $f is the loop's, in sh
# libjpeg-turbo's djpeg and cjpeg, with Netpbm's readers and writers of PNG
# and TIFF: one process (or pipeline) per picture, in a shell loop.
uses libjpeg-turbo libjpeg-turbo-progs
uses Netpbm netpbm
each jpeg-png "djpeg | pnmtopng" 'djpeg -dct float "$f" | pnmtopng -compression 7 -sub >"${f%.*}.png"'
each jpeg-bmp "djpeg -bmp" 'djpeg -dct float -bmp -outfile "${f%.*}.bmp" "$f"'
each png-jpeg "pngtopnm | cjpeg" 'pngtopnm "$f" | cjpeg -dct float -quality 90 -sample 2x2 >"${f%.*}.jpg"'
each bmp-jpeg cjpeg 'cjpeg -dct float -quality 90 -sample 2x2 -outfile "${f%.*}.jpg" "$f"'
each jpeg-tiff "djpeg | pnmtotiff" 'djpeg -dct float "$f" | pnmtotiff -quiet -none -truecolor >"${f%.*}.tiff"'
each jpeg-gif "djpeg -gif" 'djpeg -dct float -colors 256 -dither fs -gif -outfile "${f%.*}.gif" "$f"' \
    "two-pass quantiser"
note "djpeg -gif uses libjpeg's two-pass quantiser with Floyd-Steinberg dithering."

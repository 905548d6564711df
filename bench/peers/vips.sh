# shellcheck shell=bash disable=SC2016  # $f is the loop's, in sh
# libvips' command line: one vips process per picture, in a shell loop.
uses vips libvips-tools
threads vips VIPS_CONCURRENCY
each jpeg-png "vips pngsave" 'vips pngsave "$f" "${f%.*}.png" --compression 7 --filter sub'
each jpeg-bmp "vips magicksave" 'vips magicksave "$f" "${f%.*}.bmp" --format bmp3'
each png-jpeg,bmp-jpeg "vips jpegsave" 'vips jpegsave "$f" "${f%.*}.jpg" --Q 90 --subsample-mode on'
each jpeg-tiff "vips tiffsave" 'vips tiffsave "$f" "${f%.*}.tiff" --compression none'
each jpeg-gif "vips gifsave" 'vips gifsave "$f" "${f%.*}.gif" --dither 1' libimagequant
note "vips has no float DCT, takes its GIF palette and dithering from libimagequant and reads and writes BMP through its ImageMagick module."

#pragma once

#include "imaging/codecs/premultiplied_image.h"

namespace quillmere {

// Scales a picture to `width` x `height` by area sampling, the method the
// icon path has always used (after Imlib2's smooth scaling): a side that
// shrinks averages every source pixel a target pixel covers, weighted by
// how much of it is covered, in fixed point of 14 fractional bits; a side
// that grows (or keeps its size) interpolates linearly between the two
// nearest source pixels in 256ths, with the centres of the first and last
// pixels kept at the edges. Fractions are cut, not rounded.
PremultipliedImage scaleSmoothly(const PremultipliedImage& source, int width, int height);

}  // namespace quillmere

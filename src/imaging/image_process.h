#pragma once

#include <QString>

#include "imaging/image_control.h"

namespace quillmere {

// Loads the file into the control's picture and normalises it to a 24-bit
// bitmap of the picture's size; the control takes that size. False, with
// nothing changed, when no file is at the path (a folder does not count).
// Errors of the load propagate; the picture then keeps what it held.
bool Load_image_file(const QString& path, ImageControl& control);

// Replaces the control's picture with a normalised bitmap of the picture's
// own size.
void Picture_to_bitmap24(ImageControl& control);

// The same, the bitmap taking the control's width and height: the picture
// drawn at its own size, cut or surrounded by white.
void Control_to_bitmap24(ImageControl& control);

// Writes the control's picture (under the bitmap request rule) to the path,
// the encoder chosen by its extension. False, with nothing written, for a
// control of a kind derived from the plain image control.
bool Save_image_file(const QString& path, ImageControl& control, int quality);

// What `Picture_to_bitmap24` makes of a graphic, for callers that hold one
// outside any control.
Bitmap24 normaliseGraphic(Graphic& graphic);

}  // namespace quillmere

#pragma once

#include <memory>

#include "imaging/bitmap24.h"

namespace quillmere {

// What a picture can hold, chosen by the extension of the file it came from.
enum class GraphicKind { Bitmap, Icon, Metafile, Jpeg, Png, Gif, ImagingComponent };

class Graphic {
  public:
    virtual ~Graphic() = default;

    virtual GraphicKind kind() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;

    // Draws the graphic at its own size with its top-left corner at (0, 0)
    // of `target`, cut at the target's edges. What it does not paint keeps
    // the target's pixels.
    virtual void drawInto(Bitmap24& target) const = 0;

    // Gives up the graphic's pixels when they are exactly what drawing it
    // into a white bitmap of the given size would produce; empty otherwise.
    // Lets normalisation move a decoded raster instead of copying it.
    virtual Bitmap24 releaseAsBitmap(int width, int height);
};

// A graphic decoded up front into its drawn form: the decoders resolve
// transparency against white (and, for GIF, the background rule) while
// reading, so drawing is a plain copy.
class RasterGraphic final : public Graphic {
  public:
    RasterGraphic(GraphicKind kind, Bitmap24 pixels);

    GraphicKind kind() const override { return kind_; }
    int width() const override { return pixels_.width(); }
    int height() const override { return pixels_.height(); }
    void drawInto(Bitmap24& target) const override;
    Bitmap24 releaseAsBitmap(int width, int height) override;

    const Bitmap24& pixels() const { return pixels_; }
    Bitmap24& pixels() { return pixels_; }

  private:
    GraphicKind kind_;
    Bitmap24 pixels_;
};

}  // namespace quillmere

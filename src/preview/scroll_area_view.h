#pragma once

#include "preview/zoom.h"

class QScrollArea;

namespace quillmere {

// A Qt scroll area seen as the zoom's scroll box.
class ScrollAreaView final : public ScrollBoxView {
  public:
    explicit ScrollAreaView(QScrollArea& area) : area_(area) {}
    int clientWidth() const override;
    int clientHeight() const override;
    int horizontalPosition() const override;
    int verticalPosition() const override;
    void setHorizontalPosition(int position) override;
    void setVerticalPosition(int position) override;

  private:
    QScrollArea& area_;
};

}  // namespace quillmere

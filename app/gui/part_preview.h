// PartPreview: one part drawn alone, scaled to fit the widget, through the
// same drawing walk and screen colours as the sheet (the library browser's
// preview of a gate).
#pragma once

#include <QWidget>
#include <optional>

#include "core/model/part.h"

namespace tavro::gui {

class PartPreview : public QWidget {
  Q_OBJECT

 public:
  explicit PartPreview(QWidget* parent = nullptr);

  // The part shown; nullopt shows the empty paper.
  void SetPart(std::optional<CPart> part);
  const std::optional<CPart>& Part() const { return part_; }

  QSize sizeHint() const override { return {240, 200}; }
  QSize minimumSizeHint() const override { return {120, 100}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<CPart> part_;
};

}  // namespace tavro::gui

// One field of the main window's status bar. Its text stays inside its
// frame: a text longer than the field is cut short with an ellipsis and
// shown whole as the field's tooltip, instead of running on under the next
// field. The text itself (text()) is kept whole.
#pragma once

#include <QLabel>
#include <QStringList>

namespace trendolin::gui {

class StatusField : public QLabel {
 public:
  explicit StatusField(QWidget* parent = nullptr);

  // The width the field asks for when there is room (0: its text's width).
  // Narrower windows may give it less, down to a few characters.
  void SetPreferredWidth(int width) { preferredWidth_ = width; updateGeometry(); }
  // The smallest width at which `text` shows whole.
  int WidthToShow(const QString& text) const;
  // The widest character of the texts a status field shows (the printable
  // Latin-1 set): the unit its widths are counted in. The font's own widest
  // glyph may be one of thousands never shown here.
  static int WidestCharacter(const QFontMetrics& metrics);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int Padding() const;
  // Where the text goes: inside the frame, with a little space either side.
  QRect TextRect() const;

  int preferredWidth_ = 0;
};

}  // namespace trendolin::gui

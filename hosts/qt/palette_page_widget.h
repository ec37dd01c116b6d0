// The "Palette" page: the ten colour parameters of one channel at a time
// and each channel's colour effect. Holding Ctrl applies a change to red,
// green and blue at once, as the page says. The widgets carry values to and
// from the PalettePage model.
#pragma once

#include <QWidget>
#include <array>

#include "config/config_session.h"
#include "config/palette_page.h"
#include "control_row.h"

class QAbstractButton;
class QButtonGroup;

namespace lumox::qt {

class PalettePageWidget final : public QWidget {
  Q_OBJECT

 public:
  PalettePageWidget(PalettePage& model, ConfigSession& session, QWidget* parent = nullptr);

  // Brings the channel buttons, the rows and the effect in line with the model.
  void Refresh();

 signals:
  void Edited();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  static bool AllChannels();
  void RefreshRow(int parameter);
  void TrackbarsMoved(int parameter);

  PalettePage& model_;
  std::array<ControlRowWidgets, kPaletteParameters> rows_;
  QButtonGroup* channels_ = nullptr;
  QButtonGroup* effects_ = nullptr;
};

}  // namespace lumox::qt

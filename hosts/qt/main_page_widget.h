// The "Main Settings" page: which modules run, the run options, and the
// saved displays (choose, save, delete, export, import, preview). The
// widgets carry values to and from the MainPage model, which does every
// action and tells the user through the session's dialogs when one fails.
#pragma once

#include <QWidget>
#include <array>

#include "config/main_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace lumox::qt {

class MainPageWidget final : public QWidget {
  Q_OBJECT

 public:
  MainPageWidget(MainPage& model, QWidget* parent = nullptr);

  // The controls from the live settings, and the saved-display list from
  // the registry, with the box text the model gives.
  void Fill();
  void FillDisplayList();
  // The registry changed under the page: the list follows when its names
  // changed, keeping what the user is typing into the box.
  void ReloadDisplayNames();
  // What the controls show, as the model takes it.
  MainOptions Options() const;
  QString BoxText() const;

 signals:
  // The live settings changed (an option, or another display loaded; the
  // other pages show it when they are shown next).
  void Edited();

 private:
  void OptionChanged();
  void ShowScratch();
  void AfterLoad();

  MainPage& model_;
  std::array<QCheckBox*, kModuleCount> modules_{};
  QRadioButton* high_ = nullptr;
  QRadioButton* normal_ = nullptr;
  QRadioButton* low_ = nullptr;
  QCheckBox* clearFirst_ = nullptr;
  QSlider* animate_ = nullptr;
  QSlider* titleSeconds_ = nullptr;
  QLabel* titleNumber_ = nullptr;
  QComboBox* displays_ = nullptr;
};

}  // namespace lumox::qt

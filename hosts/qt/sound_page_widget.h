// The "Sound" page: the options that concern the sound player, its status,
// and starting it, over the SoundPage model.
#pragma once

#include <QWidget>

#include "config/config_session.h"
#include "config/sound_page.h"

class QCheckBox;
class QPlainTextEdit;

namespace lumox::qt {

class SoundPageWidget final : public QWidget {
  Q_OBJECT

 public:
  SoundPageWidget(SoundPage& model, ConfigSession& session, QWidget* parent = nullptr);
  // The check boxes and the status as the model has them now.
  void Refresh();

 signals:
  void Edited();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  SoundChecks Checks() const;

  SoundPage& model_;
  QCheckBox* turbo_ = nullptr;
  QCheckBox* autoRun_ = nullptr;
  QCheckBox* autoGain_ = nullptr;
  QCheckBox* showInfo_ = nullptr;
  QPlainTextEdit* status_ = nullptr;
};

}  // namespace lumox::qt

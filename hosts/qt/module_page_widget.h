// A module's settings page: one row per defined control, built from the
// module's control table through the page model. Each row has the value
// slider and box (source "Set") or the range sliders, boxes and sense (any
// other source), and the source list. The widgets only carry values to and
// from the ModulePage model, which decides every limit and what shows.
#pragma once

#include <QWidget>
#include <vector>

#include "config/module_page.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

namespace lumox::qt {

class ModulePageWidget final : public QWidget {
  Q_OBJECT

 public:
  ModulePageWidget(ModulePage& model, QWidget* parent = nullptr);

  ModulePage& model() { return model_; }
  // Brings every row in line with the model.
  void Refresh();

 signals:
  // A setting of the module changed (the preview follows it).
  void Edited();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct NumberEditor {
    QSlider* slider = nullptr;
    QLineEdit* box = nullptr;
  };
  struct Row {
    int control = 0;
    QLabel* label = nullptr;
    NumberEditor value, low, high;
    QSpinBox* sense = nullptr;
    QComboBox* source = nullptr;
  };

  void BuildRow(QGridLayout* grid, int gridRow, int control);
  NumberEditor MakeNumberEditor(const Row& row, RowNumber which, const QString& name);
  NumberEditor& Editor(Row& row, RowNumber which);
  void ShowNumber(Row& row, RowNumber which);
  void RefreshRow(Row& row);
  void Changed();

  ModulePage& model_;
  std::vector<Row> rows_;
  QGroupBox* group_ = nullptr;
  QLabel* pageText_ = nullptr;
  QPushButton* previousPage_ = nullptr;
  QPushButton* nextPage_ = nullptr;
  QPushButton* testModule_ = nullptr;
  QPushButton* reset_ = nullptr;
  QLineEdit* fileText_ = nullptr;
};

}  // namespace lumox::qt

// A module's settings page: one row per defined control, built from the
// module's control table through the page model. The widgets only carry
// values to and from the ModulePage model, which decides every limit and
// what each row shows for its source.
#pragma once

#include <QWidget>
#include <vector>

#include "config/module_page.h"
#include "control_row.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

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
  struct Row {
    int control = 0;
    ControlRowWidgets widgets;
  };

  void BuildRow(QGridLayout* grid, int gridRow, int control);
  void BindNumber(int control, RowNumber which, NumberEditor& editor);
  Row* FindRow(int control);
  void ShowNumber(Row& row, RowNumber which);
  void RefreshRow(Row& row);

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

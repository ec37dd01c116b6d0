// One row of a settings page's controls, as the module pages and the
// Palette page share it: a label, the value slider and box (source "Set"),
// the range's two sliders and boxes and the sense (any other source), and
// the source list. The row only holds the widgets and shows numbers it is
// given; each page binds it to its own model.
#pragma once

#include <QString>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QWidget;

namespace lumox::qt {

struct NumberEditor {
  QSlider* slider = nullptr;
  QLineEdit* box = nullptr;
  // Sets the slider up (range, ticks, position) without signals, and the
  // box's number.
  void Show(int minimum, int maximum, int tickFrequency, int position, int number);
};

struct ControlRowWidgets {
  QLabel* label = nullptr;
  NumberEditor value, low, high;
  QSpinBox* sense = nullptr;
  QComboBox* source = nullptr;

  // Creates the row's widgets in grid row `gridRow`, in tab order, with
  // accessible names made from the label ("Width", "Width range low
  // number", "Width source", ...).
  static ControlRowWidgets Create(QWidget* parent, QGridLayout* grid, int gridRow,
                                  const QString& label, const std::vector<const char*>& sources);
  // The value elements for "Set", the range elements otherwise.
  void ShowElements(bool labelAndSource, bool showValue, bool showRange);
  void ShowSense(int sense);
  void ShowSource(int source);
};

}  // namespace lumox::qt

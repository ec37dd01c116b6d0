#include "qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace lumox::qt {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString FilterList(const FileRequest& request) {
  QStringList filters;
  for (const FileFilter& filter : request.filters) filters << QtFilter(filter);
  return filters.join(";;");
}

QString StartPath(const FileRequest& request) {
  if (request.fileName.empty()) return Text(request.directory);
  if (request.directory.empty() || request.fileName.find('/') != std::string::npos)
    return Text(request.fileName);
  return Text(request.directory + "/" + request.fileName);
}

}  // namespace

QString QtFilter(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern : Text(filter.patterns).split(';', Qt::SkipEmptyParts)) {
    const QString trimmed = pattern.trimmed();
    patterns << trimmed;
    if (trimmed.toLower() != trimmed) patterns << trimmed.toLower();
    if (trimmed.toUpper() != trimmed) patterns << trimmed.toUpper();
    if (trimmed == "*.*") patterns << "*";  // "all files" takes names without a dot too
  }
  patterns.removeDuplicates();
  return Text(filter.text) + " (" + patterns.join(' ') + ")";
}

std::vector<std::string> QtConfigDialogs::AskOpenFiles(const FileRequest& request) {
  QStringList chosen;
  if (request.multiple) {
    chosen = QFileDialog::getOpenFileNames(parent_, Text(request.title), StartPath(request),
                                           FilterList(request));
  } else {
    const QString one = QFileDialog::getOpenFileName(parent_, Text(request.title),
                                                     StartPath(request), FilterList(request));
    if (!one.isEmpty()) chosen << one;
  }
  std::vector<std::string> paths;
  for (const QString& path : chosen) paths.push_back(path.toStdString());
  return paths;
}

std::string QtConfigDialogs::AskSaveFile(const FileRequest& request) {
  QFileDialog dialog(parent_, Text(request.title), StartPath(request), FilterList(request));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(Text(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

void QtConfigDialogs::ShowMessage(const std::string& title, const std::string& text,
                                  MessageIcon icon) {
  const QMessageBox::Icon shown = icon == MessageIcon::kError         ? QMessageBox::Critical
                                  : icon == MessageIcon::kInformation ? QMessageBox::Information
                                                                      : QMessageBox::NoIcon;
  QMessageBox box(shown, Text(title), Text(text), QMessageBox::Ok, parent_);
  box.exec();
}

void QtSystemServices::Beep() { QApplication::beep(); }

bool QtSystemServices::AskYesNo(const std::string& title, const std::string& text) {
  return QMessageBox::question(parent_, Text(title), Text(text)) == QMessageBox::Yes;
}

}  // namespace lumox::qt

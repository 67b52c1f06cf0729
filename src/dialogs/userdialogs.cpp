#include "userdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <memory>

namespace {

// The application's title, on every message box.
QString title() { return QStringLiteral("ZQW VEZ"); }

QFileDialog* makeFileDialog(QWidget* parent, const UserDialogs::FileRequest& request) {
    auto* dialog = new QFileDialog(parent, request.caption);
    dialog->setNameFilter(qtFilterOf(request.filter));
    dialog->setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty()) dialog->selectFile(request.fileName);
    dialog->setOption(QFileDialog::ReadOnly, false);
    return dialog;
}

}  // namespace

QString qtFilterOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (label.contains(QLatin1Char('('))
                        ? label
                        : label + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    if (filters.isEmpty()) filters << filter;
    return filters.join(QStringLiteral(";;"));
}

void QtUserDialogs::message(const QString& text) { QMessageBox::warning(parent_, title(), text); }

void QtUserDialogs::information(const QString& text) {
    QMessageBox::information(parent_, title(), text);
}

UserDialogs::Answer QtUserDialogs::question(const QString& text, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    const auto answer = QMessageBox::question(parent_, title(), text, buttons, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return Answer::Yes;
    if (answer == QMessageBox::No) return Answer::No;
    return withCancel ? Answer::Cancel : Answer::No;
}

UserDialogs::Answer QtUserDialogs::questionDefaultNo(const QString& text) {
    const auto answer = QMessageBox::question(parent_, title(), text,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtUserDialogs::inputBox(const QString& caption, const QString& prompt,
                                               const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtUserDialogs::openFile(const FileRequest& request) {
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent_, request));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

std::optional<QString> QtUserDialogs::saveFile(const FileRequest& request) {
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent_, request));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

namespace {

// Qt's folder chooser refuses a folder name typed in that is not there yet;
// this one returns it, for the caller to offer to create it.
class FolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty() && !QFileInfo::exists(chosen.constFirst())) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

std::optional<QString> QtUserDialogs::chooseFolder(const QString& caption, const QString& start) {
    FolderDialog dialog(parent_, caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int QtUserDialogs::execDialog(QDialog& dialog) { return dialog.exec(); }

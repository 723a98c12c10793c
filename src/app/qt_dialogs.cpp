#include "qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

#include "print.h"

namespace pom {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// Modal over the active window, which is the main window whenever the
// operator can act; before it is shown the box has no owner.
int showBox(QMessageBox::Icon icon, const std::string& title, const std::string& text,
            QMessageBox::StandardButtons buttons, QWidget* owner)
{
    QMessageBox box(icon, qs(title), qs(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

QtDialogs::QtDialogs(std::string applicationTitle) : m_applicationTitle(std::move(applicationTitle)) {}

void QtDialogs::message(const std::string& text, const std::string& title)
{
    showBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
}

void QtDialogs::error(const std::string& text)
{
    showBox(QMessageBox::Critical, m_applicationTitle, text, QMessageBox::Ok,
            QApplication::activeWindow());
}

void QtDialogs::applicationError(const std::string& text)
{
    showBox(QMessageBox::Critical, "Application Error", text, QMessageBox::Ok, nullptr);
}

bool QtDialogs::confirm(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Question, qs(title), qs(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::openFileName()
{
    // No filter: every file is listed; a typed name need not exist.
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtDialogs::saveFileName()
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
    // The copy overwrites without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

bool QtDialogs::printDialog(Printer& printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace pom

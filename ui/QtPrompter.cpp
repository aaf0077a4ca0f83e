#include "ui/QtPrompter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString QtPrompter::FileFilter = QStringLiteral("Dialog Files (*.dlg);;All Files (*)");

namespace {

QMessageBox::Icon ToQt(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Question:
        return QMessageBox::Question;
    case Prompter::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Error:
        break;
    }
    return QMessageBox::Critical;
}

} // namespace

// Every answer is a button of its own text, with no icon: a standard "No"
// button would show a mark that says nothing of what Discard or Delete do.
Prompter::Answer QtPrompter::Ask(QWidget *parent, const QString &caption, const QString &text, Buttons buttons, Icon icon,
                                 Answer defaultAnswer, const QStringList &buttonTexts)
{
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::NoButton, parent);
    const QStringList texts = ButtonTexts(buttons, buttonTexts);
    const QMessageBox::ButtonRole roles[] = {QMessageBox::YesRole, QMessageBox::NoRole, QMessageBox::RejectRole};
    const char *names[] = {"yesButton", "noButton", "cancelButton"};
    QPushButton *shown[3] = {};
    for (Answer answer : {Yes, No, Cancel}) {
        if (texts[answer].isEmpty())
            continue;
        shown[answer] = box.addButton(texts[answer], roles[answer]);
        shown[answer]->setObjectName(QLatin1String(names[answer]));
        shown[answer]->setAccessibleName(QString(texts[answer]).remove(QLatin1Char('&')));
    }
    box.setDefaultButton(shown[defaultAnswer] ? shown[defaultAnswer] : shown[Cancel]);
    // Escape or the close box: Cancel, or No where there is no Cancel.
    box.setEscapeButton(shown[Cancel] ? shown[Cancel] : shown[No]);
    box.exec();
    for (Answer answer : {Yes, No, Cancel}) {
        if (box.clickedButton() && box.clickedButton() == shown[answer])
            return answer;
    }
    return shown[Cancel] ? Cancel : No;
}

void QtPrompter::Tell(QWidget *parent, const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtPrompter::ShowText(QWidget *parent, const QString &caption, const QString &text)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    auto *layout = new QVBoxLayout(&dialog);
    auto *view = new QPlainTextEdit(text, &dialog);
    view->setObjectName(QStringLiteral("shownText"));
    view->setAccessibleName(caption);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(view);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 420);
    dialog.exec();
}

QString QtPrompter::GetOpenFileName(QWidget *parent, const QString &folder)
{
    QFileDialog dialog(parent, QStringLiteral("Open"), folder, FileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A file that does not exist yet may be named: loading offers to create it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("dlg"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst() : QString();
}

QString QtPrompter::GetSaveFileName(QWidget *parent, const QString &proposed)
{
    QFileDialog dialog(parent, QStringLiteral("Save As"), proposed, FileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("dlg"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst() : QString();
}

QString QtPrompter::GetCompareFileName(QWidget *parent, const QString &proposed)
{
    QFileDialog dialog(parent, QStringLiteral("Compare with"), proposed, FileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst() : QString();
}

QString QtPrompter::GetExportFileName(QWidget *parent, const QString &caption, const QString &proposed, const QString &filter)
{
    QFileDialog dialog(parent, caption, proposed, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst() : QString();
}

QString QtPrompter::GetFolderName(QWidget *parent, const QString &folder)
{
    QFileDialog dialog(parent, QStringLiteral("Open folder"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst() : QString();
}

#include "app/QtPrompter.h"

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

Prompter::Answer QtPrompter::Ask(QWidget *parent, const QString &caption, const QString &text, Buttons buttons, Icon icon,
                                 Answer defaultAnswer, const QStringList &buttonTexts)
{
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::NoButton, parent);
    QList<QMessageBox::StandardButton> shown{QMessageBox::Yes};
    if (buttons != YesCancel)
        shown << QMessageBox::No;
    if (buttons != YesNo)
        shown << QMessageBox::Cancel;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QPushButton *button = box.addButton(shown[i]);
        if (i < buttonTexts.size())
            button->setText(buttonTexts[i]);
    }
    const QMessageBox::StandardButton preset = defaultAnswer == Yes ? QMessageBox::Yes : defaultAnswer == No ? QMessageBox::No : QMessageBox::Cancel;
    box.setDefaultButton(shown.contains(preset) ? preset : QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        // Escape or the close box: No where there is no Cancel.
        return buttons == YesNo ? No : Cancel;
    }
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

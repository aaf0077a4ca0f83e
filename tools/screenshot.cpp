// Renders the main window or one of its dialogs, opened on a file, to a PNG
// without a display:
//   QT_QPA_PLATFORM=offscreen talkwright-screenshot OUT.png FILE [main|find|npc|option|goto|pageinfo|about|play|map]
#include "app/CMainDialog.h"
#include "session/EditingSession.h"
#include "ui/QtPrompter.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CPlayDlg.h"
#include "panels/FindBar.h"
#include "panels/MapPanel.h"
#include "dialogs/CGotoPageDlg.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPageInfoDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QPixmap>
#include <QTimer>
#include <memory>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        fputs("usage: talkwright-screenshot OUT.png FILE [main|find|npc|option|goto|pageinfo|about|play|map]\n", stderr);
        return 2;
    }
    // The window's layout as it first shows, not as the user left theirs.
    QStandardPaths::setTestModeEnabled(true);
    QtPrompter prompter;
    EditingSession session;
    CMainDialog window(session, args[2].toStdString(), prompter);
    if (!window.OnInitDialog())
        return 1;
    const QString what = args.value(3, QStringLiteral("main"));
    std::unique_ptr<QDialog> dialog;
    if (what == QLatin1String("npc") && window.Session().GetCurrentPage())
        dialog = std::make_unique<CNpcSpeechDlg>(window.Session().GetCurrentPage(), window.Session().GetDocument(), &window);
    else if (what == QLatin1String("option") && window.Session().GetCurrentPage() && window.Session().GetCurrentPage()->GetOptionCount() > 0)
        dialog = std::make_unique<CPcOptionDlg>(window.Session().GetCurrentPage()->GetOption(0), window.Session().GetDocument(), &window);
    else if (what == QLatin1String("goto"))
        dialog = std::make_unique<CGotoPageDlg>(window.Session().GetDocument(), window.Session().CurrentPage(), &window);
    else if (what == QLatin1String("about"))
        dialog = std::make_unique<CAboutDlg>(&window);
    else if (what == QLatin1String("pageinfo") && window.Session().GetCurrentPage()) {
        auto info = std::make_unique<CPageInfoDlg>(&window);
        info->m_name = window.Session().GetCurrentPage()->GetLabel();
        info->m_description = window.Session().GetCurrentPage()->GetDescription();
        QTimer::singleShot(0, info.get(), [dialog = info.get()] { dialog->exec(); });
        dialog = std::move(info);
    }
    else if (what == QLatin1String("play") && window.Session().GetCurrentPage()) {
        // A male PC of intelligence 7, back from the room he found too dear.
        auto play = std::make_unique<CPlayDlg>(window.Session(), window.Session().GetCurrentPage(), &window);
        play->findChild<QComboBox *>(QStringLiteral("gender"))->setCurrentIndex(0);
        play->findChild<QComboBox *>(QStringLiteral("intelligence"))->setEditText(QStringLiteral("7"));
        play->OnChoose(0);
        play->OnChoose(1);
        dialog = std::move(play);
    }
    else if (what == QLatin1String("find")) {
        window.resize(window.sizeHint().width() + 240, window.sizeHint().height() + 200);
        window.Find().Open(true);
        window.Find().findEdit->setText(QStringLiteral("room"));
        window.Find().Step(1);
    }
    else if (what == QLatin1String("map")) {
        // The map seen as a male PC of intelligence 7, beside the problems.
        window.Map().profileBox->setCurrentIndex(1);
        window.Map().intelligenceBox->setValue(7);
    }
    QWidget *shown = dialog ? static_cast<QWidget *>(dialog.get()) : &window;
    window.show();
    shown->show();
    if (what == QLatin1String("map")) {
        // Larger than the screen without a display, which the window fits
        // itself to as it shows; the map as wide as the page beside it.
        window.resize(1280, 820);
        window.resizeDocks({&window.Map()}, {560}, Qt::Horizontal);
    }
    // Let the status line finish its first message; grab before quitting,
    // which closes the windows.
    bool saved = false;
    QTimer::singleShot(1300, &application, [&] {
        saved = shown->grab().save(args[1]);
        QApplication::quit();
    });
    application.exec();
    return saved ? 0 : 1;
}

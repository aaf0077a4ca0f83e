#include "dialogs/CAboutDlg.h"

#include "Version.h"
#include "ui/DialogUnits.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About the Quorvel Dialog Editor"));
    setFont(DialogUnits::TemplateFont());
    const DialogUnits units(font());
    setFixedSize(units.X(235), units.Y(63));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/res/icon32.png")));
    icon->setGeometry(QRect(QPoint(units.X(11), units.Y(17)), QSize(32, 32)));

    const auto addLine = [&](const QString &text, QRect rect) {
        auto *line = new QLabel(text, this);
        line->setGeometry(rect);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    };
    addLine(QStringLiteral("Talkwright Version " TALKWRIGHT_VERSION), units.Rect(40, 10, 119, 8));
    addLine(QStringLiteral("A dialog editor for Quorvel"), units.Rect(40, 25, 119, 8));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

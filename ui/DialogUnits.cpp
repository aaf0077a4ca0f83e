#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    // The average over the letters, as the platform's dialog manager takes it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_baseY = metrics.height();
}

QFont DialogUnits::TemplateFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies(QStringList() << QStringLiteral("Liberation Sans") << QStringLiteral("Arial") << QStringLiteral("Helvetica"));
    font.setPointSize(9);
    return font;
}

int DialogUnits::X(int units) const
{
    return (units * m_baseX + 2) / 4;
}

int DialogUnits::Y(int units) const
{
    return (units * m_baseY + 4) / 8;
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const
{
    return {X(x), Y(y), X(width), Y(height)};
}

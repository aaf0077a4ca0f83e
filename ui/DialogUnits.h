#pragma once

#include <QFont>
#include <QRect>

// Converts the dialog units of a window template into pixels for a font:
// a unit across is a quarter of the font's average character width, a unit
// down an eighth of its height. A template so looks the same at any font size.
class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    // The font the templates were drawn for: a narrow sans serif with the
    // proportions of Arial, so every caption fits where its template put it.
    static QFont TemplateFont();

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;

private:
    int m_baseX;
    int m_baseY;
};

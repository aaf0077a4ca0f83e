#include "ui/AnsiText.h"

#include "model/Windows1252.h"

#include <QFile>

// Latin-1 is Windows-1252 but for 0x80 to 0x9F: convert as Latin-1, then
// put those right.
QString AnsiText::ToDisplay(std::string_view bytes)
{
    QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const char16_t c = text.at(i).unicode(); c >= 0x80 && c < 0xA0)
            text[i] = QChar(static_cast<char16_t>(Windows1252::ToUnicode(static_cast<unsigned char>(c))));
    }
    return text;
}

bool AnsiText::FromDisplay(const QString &text, std::string &bytes)
{
    std::string converted;
    converted.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        unsigned char byte = 0;
        if (!Windows1252::FromUnicode(c.unicode(), byte))
            return false;
        converted += static_cast<char>(byte);
    }
    bytes = std::move(converted);
    return true;
}

QString AnsiText::FileNameToDisplay(const std::string &name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

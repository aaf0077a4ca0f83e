#include "AnsiText.h"

#include "model/Windows1252.h"

#include <QFile>

QString AnsiText::ToDisplay(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char b : bytes)
        text += QChar(static_cast<char16_t>(Windows1252::ToUnicode(static_cast<unsigned char>(b))));
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

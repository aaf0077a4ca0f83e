#include "GuiTestFiles.h"

#include <QFile>

QString GuiTestFiles::Write(const QString &name, const QByteArray &bytes) const
{
    const QString path = Path(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray GuiTestFiles::Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

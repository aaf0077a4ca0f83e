#include "GuiTestFiles.h"

#include <QStandardPaths>

namespace {
// The window tests keep their settings (recent files) apart from the user's.
const bool kTestSettings = [] {
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();
} // namespace

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

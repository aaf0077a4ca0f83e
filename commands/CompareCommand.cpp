#include "commands/CompareCommand.h"

#include "model/DialogFile.h"
#include "session/EditingSession.h"
#include "ui/Prompter.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

CompareCommand::CompareCommand(EditingSession &session, Prompter &prompter, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_parent(parent)
{
}

void CompareCommand::CompareWith()
{
    const DialogFile *document = m_session.GetDocument();
    if (!document)
        return;
    const QString own = document->IsUntitled() ? QString() : QFile::decodeName(QByteArray::fromStdString(document->GetFileName()));
    const QString path = m_prompter.GetCompareFileName(m_parent, own);
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    auto other = std::make_shared<DialogFile>();
    if (!other->Read(QFile::encodeName(path).toStdString())) {
        m_prompter.Tell(m_parent, QStringLiteral("Compare with"),
                        QLatin1Char('"') + name + QStringLiteral("\" cannot be read: ") + QString::fromStdString(other->GetErrorText()) + QLatin1Char('.'),
                        Prompter::Exclamation);
        return;
    }
    emit compared(std::move(other), name);
}

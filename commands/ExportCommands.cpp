#include "commands/ExportCommands.h"

#include "model/DialogFile.h"
#include "po/PoFile.h"
#include "session/EditingSession.h"
#include "storage/AtomicFile.h"
#include "storage/FileOps.h"
#include "translation/RecordingScript.h"
#include "translation/TranslationTemplate.h"
#include "ui/Prompter.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {

// The document as a Save would write it and a reading of that would give:
// every line with the number it will have.
std::unique_ptr<DialogFile> AsSaved(const DialogFile &document)
{
    auto saved = std::make_unique<DialogFile>();
    if (!saved->ReadText(document.Copy()->WriteText()))
        return nullptr;
    return saved;
}

} // namespace

ExportCommands::ExportCommands(EditingSession &session, Prompter &prompter, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_parent(parent)
{
}

std::string ExportCommands::AskWhere(const QString &caption, const QString &extension, const QString &filter)
{
    const QString proposed = QFileInfo(m_session.GetDisplayName()).completeBaseName() + extension;
    const QString path = m_prompter.GetExportFileName(m_parent, caption, proposed, filter);
    return path.isEmpty() ? std::string() : QFile::encodeName(path).toStdString();
}

bool ExportCommands::Save(const std::string &path, const std::string &text)
{
    AtomicFile file(FileOps::Default());
    if (file.Open(path) && file.Append(text) && file.Commit()) {
        emit message(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName() + QStringLiteral(" written"));
        return true;
    }
    m_prompter.Tell(m_parent, QStringLiteral("talkwright"),
                    QStringLiteral("\"%1\" could not be written: %2.")
                        .arg(QFile::decodeName(QByteArray::fromStdString(path)), QString::fromStdString(file.GetErrorText())),
                    Prompter::Error);
    return false;
}

void ExportCommands::OnExportPoTemplate()
{
    if (!m_session.GetDocument())
        return;
    const std::string path = AskWhere(QStringLiteral("Export PO Template"), QStringLiteral(".pot"),
                                      QStringLiteral("PO templates (*.pot);;All Files (*)"));
    if (path.empty())
        return;
    const std::unique_ptr<DialogFile> saved = AsSaved(*m_session.GetDocument());
    std::string text;
    std::string error;
    TranslationTemplate entries;
    if (saved)
        entries.Add(*saved, QFileInfo(m_session.GetDisplayName()).fileName().toStdString());
    if (!saved || !PoFile::Write(entries.GetEntries(), text, error)) {
        m_prompter.Tell(m_parent, QStringLiteral("talkwright"),
                        QStringLiteral("The PO template cannot be made: %1.")
                            .arg(QString::fromStdString(saved ? error : std::string("the document cannot be read back"))),
                        Prompter::Error);
        return;
    }
    Save(path, text);
}

void ExportCommands::OnExportRecordingScript()
{
    if (!m_session.GetDocument())
        return;
    const std::string path = AskWhere(QStringLiteral("Export Recording Script"), QStringLiteral(".csv"),
                                      QStringLiteral("CSV files (*.csv);;All Files (*)"));
    if (path.empty())
        return;
    const std::unique_ptr<DialogFile> saved = AsSaved(*m_session.GetDocument());
    RecordingScript script;
    std::string error;
    if (!saved || !script.Add(*saved, QFileInfo(m_session.GetDisplayName()).fileName().toStdString(), error)) {
        m_prompter.Tell(m_parent, QStringLiteral("talkwright"),
                        QStringLiteral("The recording script cannot be made: %1.").arg(QString::fromStdString(saved ? error : std::string("the document cannot be read back"))),
                        Prompter::Error);
        return;
    }
    Save(path, script.GetCsv());
}

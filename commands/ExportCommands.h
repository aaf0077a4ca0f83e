#pragma once

#include <QObject>
#include <string>

class EditingSession;
class Prompter;
class QWidget;

// What the document is handed on as: a PO template of its texts for the
// translators, a recording script of its lines for the voice director, as
// dlgtool po extract and dlgtool script write them, from the document as a
// Save would write it (lines not saved yet take the numbers Save gives).
class ExportCommands : public QObject {
    Q_OBJECT
public:
    ExportCommands(EditingSession &session, Prompter &prompter, QWidget *parent);

    void OnExportPoTemplate();
    void OnExportRecordingScript();

signals:
    // For the status line.
    void message(const QString &text);

private:
    // Asks where, proposing the document's name with extension; empty when cancelled.
    std::string AskWhere(const QString &caption, const QString &extension, const QString &filter);
    // Writes text to path as a whole; says why not when it cannot.
    bool Save(const std::string &path, const std::string &text);

    EditingSession &m_session;
    Prompter &m_prompter;
    QWidget *m_parent;
};

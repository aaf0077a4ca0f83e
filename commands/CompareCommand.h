#pragma once

#include <QObject>
#include <QString>
#include <memory>

class DialogFile;
class EditingSession;
class Prompter;
class QWidget;

// File > Compare with...: asks for the file to compare the open document
// with, proposing the document's own file (the version last saved), and
// reads it. What is read goes out to whoever shows the differences.
class CompareCommand : public QObject {
    Q_OBJECT
public:
    CompareCommand(EditingSession &session, Prompter &prompter, QWidget *parent);

    void CompareWith();

signals:
    // The version to compare the document with, and the name it is shown by.
    void compared(std::shared_ptr<const DialogFile> other, const QString &name);

private:
    EditingSession &m_session;
    Prompter &m_prompter;
    QWidget *m_parent;
};

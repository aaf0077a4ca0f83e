#pragma once

#include "session/LatestJob.h"

#include <QList>
#include <QWidget>
#include <memory>
#include <vector>

class COptionListBox;
class DialogFile;
class DialogLine;
class EditingSession;
class EditorActions;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SpellingHighlighter;
class StatusLabel;
struct DocumentWords;

// The main window's client area: one dialog page (its name, description
// and NPC speech), the list of its PC options, the command buttons and the
// status line, laid out by the window's template and following its size.
// It shows the session's page on display and the option selected there,
// and follows them; the buttons are views of the editor's actions. The
// NPC's unique speech shows its misspelt words underlined.
class CPageView : public QWidget {
    Q_OBJECT
public:
    explicit CPageView(EditingSession &session, QWidget *parent = nullptr);

    // Each button shows its command's action; the option list's context
    // menu holds the option commands.
    void BindActions(const EditorActions &actions);
    // Shows the session's page on display, as it now stands, with the
    // option selected there.
    void RefreshPage();
    void ShowNpcSpeech();
    void OnViewFemaleSpeech();
    // Both speeches one above the other, each labelled, instead of one and
    // the switch between them.
    void SetBothSpeeches(bool on);
    int InsertOptionLine(int index, DialogLine *option);
    // The option commands' menu, at a point of the option list.
    void OnContextMenu(const QPoint &listPosition);
    // The words of the document are counted for the document as it stands.
    bool IsWordCountUpToDate() const;
    // The row of the selected option (the current one of several); -1 with none.
    int SelectedRow() const;
    // Every row selected, ascending.
    std::vector<int> SelectedRows() const;

    // The controls, in the template's order, which is the tab order.
    COptionListBox *optionList = nullptr;
    QPushButton *goToResultButton = nullptr;
    QPushButton *editOptionButton = nullptr;
    QPushButton *moveUpButton = nullptr;
    QPushButton *moveDownButton = nullptr;
    QPushButton *deleteOptionButton = nullptr;
    QPushButton *addOptionButton = nullptr;
    QPushButton *changeButton = nullptr;
    QPushButton *editSpeechButton = nullptr;
    QPushButton *viewFemaleButton = nullptr;
    QPushButton *goToButton = nullptr;
    QPushButton *newPageButton = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *exitButton = nullptr;
    StatusLabel *statusLabel = nullptr;
    // The words of speech on the page and in the document, as dlgtool stats counts them.
    QLabel *wordCount = nullptr;

signals:
    // Enter in the page, with no push button focused: the page is saved.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPushButton *AddButton(int id, const char *objectName, const QString &caption, QRect rect);
    void OnSize(QSize oldSize, QSize newSize);
    void ShowPage(const DialogLine *page);
    void ShowSelection();
    // The options selected in the list become the session's.
    void TakeSelection();
    // Gives the speeches the room both of them take, or gives it back.
    void ApplySpeechRoom();
    // The page's words now, the document's as last counted off this thread.
    void ShowWordCount();
    void CountDocument(std::shared_ptr<const DialogFile> document, quint64 generation);

    EditingSession &m_session;
    const DialogLine *m_page = nullptr;
    bool m_showing = false; // the list's selection is being set from the session
    QAction *m_addOption = nullptr;
    QList<QAction *> m_optionActions;
    QList<QAction *> m_clipboardActions;
    QSize m_laidOutSize; // the size the controls are placed for
    bool m_bShowMaleSpeech = true;
    bool m_bothSpeeches = false;
    int m_speechRoom = 0; // pixels the second speech takes from the option list
    int m_speechHeight = 0; // of one speech box
    QGroupBox *m_grpPage = nullptr;
    QGroupBox *m_grpNpcSpeech = nullptr;
    QGroupBox *m_grpOptions = nullptr;
    QLineEdit *m_editName = nullptr;
    QLineEdit *m_editDescription = nullptr;
    QPlainTextEdit *m_editSpeech = nullptr;
    QLabel *m_lblSpeechCaption = nullptr;
    QPlainTextEdit *m_editFemaleSpeech = nullptr; // with both speeches shown
    QLabel *m_lblFemaleCaption = nullptr;
    LatestJob<std::shared_ptr<DocumentWords>> m_countJob;
    long long m_documentWords = -1; // -1: not counted yet
    SpellingHighlighter *m_speechSpelling = nullptr;
    SpellingHighlighter *m_femaleSpelling = nullptr; // with both speeches shown
};

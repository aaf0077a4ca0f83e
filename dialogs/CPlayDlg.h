#pragma once

#include "rules/ConversationPlay.h"

#include <QDialog>

class DialogLine;
class EditingSession;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// "Play": the conversation as the game would show it to one PC, from a
// page on: the NPC's speech to that PC, the options it is offered, numbered,
// and those it is not, dimmed, with the reason. Choosing an option (a
// click, or its number key) goes on to its page; the path so far is listed.
// The PC's gender and intelligence are kept between runs. "Edit this page"
// closes the window with the page it stood on made the page on display.
class CPlayDlg : public QDialog {
    Q_OBJECT
public:
    CPlayDlg(EditingSession &session, const DialogLine *start, QWidget *parent = nullptr);

    const ConversationPlay &GetPlay() const { return m_play; }

    void OnChoose(int index);
    void OnBack();
    void OnEditPage();
    void OnCopyCommand();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void OnProfileChanged();
    void ShowStep();
    void ShowConditions(const ConversationPlay::Step &step);
    // A number key chooses that option; false for any other key.
    bool ChooseByKey(const QKeyEvent &event);

    EditingSession &m_session;
    ConversationPlay m_play;
    QComboBox *m_gender = nullptr;
    QComboBox *m_intelligence = nullptr;
    QLabel *m_pageName = nullptr;
    QPlainTextEdit *m_npcSpeech = nullptr;
    QListWidget *m_options = nullptr;
    QWidget *m_conditions = nullptr;
    QVBoxLayout *m_conditionsLayout = nullptr;
    QLabel *m_end = nullptr;
    QListWidget *m_path = nullptr;
    QPushButton *m_back = nullptr;
};

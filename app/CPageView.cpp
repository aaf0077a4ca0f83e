#include "app/CPageView.h"

#include "app/COptionListBox.h"
#include "app/StatusLabel.h"
#include "commands/EditorActions.h"
#include "dialogs/SpellingHighlighter.h"
#include "session/DocumentSpelling.h"
#include "session/EditingSession.h"
#include "session/SnapshotFeed.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/OptionDescription.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/ShownSpeech.h"
#include "speech/SpeechCount.h"
#include "ui/AnsiText.h"
#include "ui/DialogUnits.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QResizeEvent>
#include <algorithm>
#include <iterator>

namespace {
// The size of the window's client area in dialog units.
constexpr int kTemplateWidth = 320;
constexpr int kTemplateHeight = 330;

// The most of one text the page shows: a text any longer would take the
// view many times the file's memory to lay out, and no one reads it there.
// The edit dialogs show it whole.
constexpr size_t kMostShown = 20000;

QString Shown(std::string_view bytes)
{
    if (bytes.size() <= kMostShown)
        return AnsiText::ToDisplay(bytes);
    const size_t more = bytes.size() - kMostShown;
    return AnsiText::ToDisplay(bytes.substr(0, kMostShown))
        + QStringLiteral("\u2026 (%1 more %2)").arg(QLocale().toString(static_cast<qulonglong>(more)), more == 1 ? "character" : "characters");
}

// Generated speech as the play window shows it, for a tooltip over its
// code; nothing for unique speech.
QString ShownAsPlayed(std::string_view field)
{
    SpeechText code;
    DecodeSpeech(code, field);
    return code.kind == 0 ? QString() : AnsiText::ToDisplay(ShownSpeech::Of(field));
}

// The room the second speech and its caption take, in dialog units.
constexpr int kSecondSpeechRoom = 40;
} // namespace

// The words of a copy of the document, counted off the user interface thread.
struct DocumentWords {
    quint64 generation = 0;
    SpeechCount count;
};

CPageView::CPageView(EditingSession &session, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_countJob(this, [this](std::shared_ptr<DocumentWords> words) {
        if (words->generation != SnapshotFeed::Of(m_session).GetGeneration())
            return;
        m_documentWords = words->count.npcWords + words->count.pcWords;
        ShowWordCount();
    })
{
    setObjectName(QStringLiteral("client"));

    const DialogUnits units(font());
    this->setMinimumSize(units.X(kTemplateWidth), units.Y(kTemplateHeight));
    this->resize(this->minimumSize());
    m_laidOutSize = minimumSize(); // the controls are placed for it

    // In the order of the window's template, which is the tab order.
    optionList = new COptionListBox(this);
    optionList->setObjectName(QStringLiteral("optionList"));
    optionList->setGeometry(units.Rect(13, 149, 293, 101));
    goToResultButton = AddButton(1014, "goToResultButton", QStringLiteral("Go to &result page"), units.Rect(13, 254, 80, 14));
    editOptionButton = AddButton(1013, "editOptionButton", QStringLiteral("Edit opt&ion"), units.Rect(13, 273, 80, 14));
    moveUpButton = AddButton(1010, "moveUpButton", QStringLiteral("Move option &up"), units.Rect(119, 254, 80, 14));
    moveDownButton = AddButton(1011, "moveDownButton", QStringLiteral("Move option do&wn"), units.Rect(119, 273, 80, 14));
    deleteOptionButton = AddButton(1012, "deleteOptionButton", QStringLiteral("De&lete option"), units.Rect(226, 254, 80, 14));
    for (QPushButton *button : {goToResultButton, editOptionButton, moveUpButton, moveDownButton, deleteOptionButton})
        button->setEnabled(false);
    addOptionButton = AddButton(1009, "addOptionButton", QStringLiteral("&Add option..."), units.Rect(226, 273, 80, 14));
    changeButton = AddButton(1021, "changeButton", QStringLiteral("&Change"), units.Rect(145, 21, 43, 14));
    editSpeechButton = AddButton(1024, "editSpeechButton", QStringLiteral("E&dit speech"), units.Rect(140, 81, 56, 14));
    viewFemaleButton = AddButton(1003, "viewFemaleButton", QStringLiteral("View speech to fe&male PC"), units.Rect(201, 81, 103, 14));
    goToButton = AddButton(1005, "goToButton", QStringLiteral("&Go To..."), units.Rect(7, 309, 50, 14));
    newPageButton = AddButton(4, "newPageButton", QStringLiteral("&New page"), units.Rect(64, 309, 50, 14));
    openButton = AddButton(3, "openButton", QStringLiteral("&Open"), units.Rect(151, 309, 50, 14));
    saveButton = AddButton(1, "saveButton", QStringLiteral("&Save"), units.Rect(208, 309, 50, 14));
    exitButton = AddButton(2, "exitButton", QStringLiteral("E&xit"), units.Rect(263, 309, 50, 14));

    (new QLabel(QStringLiteral("Name:"), this))->setGeometry(units.Rect(15, 22, 24, 12));
    m_grpNpcSpeech = new QGroupBox(QStringLiteral("NPC Speech"), this);
    m_grpNpcSpeech->setObjectName(QStringLiteral("npcSpeechGroup"));
    m_grpNpcSpeech->setGeometry(units.Rect(7, 68, 306, 64));
    m_editName = new QLineEdit(this);
    m_editName->setObjectName(QStringLiteral("nameEdit"));
    m_editName->setGeometry(units.Rect(43, 20, 95, 16));
    m_editSpeech = new QPlainTextEdit(this);
    m_editSpeech->setObjectName(QStringLiteral("speechEdit"));
    m_editSpeech->setGeometry(units.Rect(13, 100, 293, 26));
    m_grpOptions = new QGroupBox(QStringLiteral("PC Speech Options"), this);
    m_grpOptions->setObjectName(QStringLiteral("optionsGroup"));
    m_grpOptions->setGeometry(units.Rect(7, 138, 306, 154));
    m_lblSpeechCaption = new QLabel(QStringLiteral("Speech to male PC:"), this);
    m_lblSpeechCaption->setObjectName(QStringLiteral("speechCaption"));
    m_lblSpeechCaption->setGeometry(units.Rect(14, 82, 120, 12));
    m_lblSpeechCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblFemaleCaption = new QLabel(QStringLiteral("Speech to female PC:"), this);
    m_lblFemaleCaption->setObjectName(QStringLiteral("femaleSpeechCaption"));
    m_lblFemaleCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_editFemaleSpeech = new QPlainTextEdit(this);
    m_editFemaleSpeech->setObjectName(QStringLiteral("femaleSpeechEdit"));
    m_editFemaleSpeech->setAccessibleName(QStringLiteral("NPC speech to female PCs"));
    m_speechHeight = units.Y(26);
    m_lblFemaleCaption->hide();
    m_editFemaleSpeech->hide();
    m_grpPage = new QGroupBox(QStringLiteral("Dialog page"), this);
    m_grpPage->setObjectName(QStringLiteral("pageGroup"));
    m_grpPage->setGeometry(units.Rect(7, 7, 306, 56));
    (new QLabel(QStringLiteral("Description:"), this))->setGeometry(units.Rect(15, 41, 41, 12));
    m_editDescription = new QLineEdit(this);
    m_editDescription->setObjectName(QStringLiteral("descriptionEdit"));
    m_editDescription->setGeometry(units.Rect(57, 41, 247, 12));
    wordCount = new QLabel(this);
    wordCount->setObjectName(QStringLiteral("wordCount"));
    wordCount->setGeometry(units.Rect(192, 22, 112, 12));
    wordCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusLabel = new StatusLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLine"));
    statusLabel->setGeometry(units.Rect(7, 294, 306, 10));

    // The frames lie under the controls they hold.
    for (QGroupBox *frame : {m_grpPage, m_grpNpcSpeech, m_grpOptions})
        frame->lower();

    // The page is changed only through the commands; its texts are read-only.
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(16);
    nameFont.setBold(true);
    QFont descriptionFont = nameFont;
    descriptionFont.setPixelSize(14);
    m_editName->setFont(nameFont);
    m_editDescription->setFont(descriptionFont);
    for (QLineEdit *edit : {m_editName, m_editDescription}) {
        edit->setReadOnly(true);
        edit->setFrame(false);
        edit->setFocusPolicy(Qt::ClickFocus);
    }
    // Read-only texts sit on the window's own background.
    for (QWidget *text : {static_cast<QWidget *>(m_editName), static_cast<QWidget *>(m_editDescription), static_cast<QWidget *>(m_editSpeech),
                          static_cast<QWidget *>(m_editFemaleSpeech)}) {
        QPalette palette = text->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        text->setPalette(palette);
    }
    for (QPlainTextEdit *speech : {m_editSpeech, m_editFemaleSpeech}) {
        speech->setReadOnly(true);
        speech->setFrameShape(QFrame::NoFrame);
        speech->setTabChangesFocus(true);
    }
    m_editSpeech->setAccessibleName(QStringLiteral("NPC speech"));
    m_editName->setAccessibleName(QStringLiteral("Page name"));
    m_editDescription->setAccessibleName(QStringLiteral("Page description"));
    m_speechSpelling = new SpellingHighlighter(m_editSpeech, DocumentSpelling::Of(session));
    m_femaleSpelling = new SpellingHighlighter(m_editFemaleSpeech, DocumentSpelling::Of(session));

    // Tab follows the page as it reads, top to bottom and left to right.
    QWidget *order[] = {changeButton, editSpeechButton, viewFemaleButton, m_editSpeech, m_editFemaleSpeech, optionList,
                        goToResultButton, moveUpButton, deleteOptionButton, editOptionButton, moveDownButton, addOptionButton,
                        goToButton, newPageButton, openButton, saveButton, exitButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    connect(viewFemaleButton, &QPushButton::clicked, this, &CPageView::OnViewFemaleSpeech);

    connect(&session, &EditingSession::currentPageChanged, this, &CPageView::RefreshPage);
    connect(&session, &EditingSession::documentReplaced, this, &CPageView::RefreshPage);
    connect(&session, &EditingSession::selectedOptionChanged, this, &CPageView::ShowSelection);
    connect(optionList, &QListWidget::itemSelectionChanged, this, &CPageView::TakeSelection);
    connect(optionList, &QListWidget::currentRowChanged, this, &CPageView::TakeSelection);
    connect(optionList, &QWidget::customContextMenuRequested, this, &CPageView::OnContextMenu);
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &CPageView::CountDocument);
    CountDocument(feed.GetLatest(), feed.GetGeneration());
}

namespace {

// A push button that shows an action: pressing it runs the action, and it
// is enabled exactly while the action is.
void Bind(QPushButton *button, QAction *action)
{
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    button->setEnabled(action->isEnabled());
}

} // namespace

void CPageView::BindActions(const EditorActions &actions)
{
    Bind(addOptionButton, actions.addOption);
    Bind(editOptionButton, actions.editOption);
    Bind(deleteOptionButton, actions.deleteOption);
    Bind(goToResultButton, actions.goToResult);
    Bind(moveUpButton, actions.moveOptionUp);
    Bind(moveDownButton, actions.moveOptionDown);
    Bind(editSpeechButton, actions.editSpeech);
    Bind(goToButton, actions.goTo);
    Bind(changeButton, actions.changePageInfo);
    Bind(newPageButton, actions.newPage);
    Bind(openButton, actions.open);
    Bind(saveButton, actions.save);
    Bind(exitButton, actions.exit);
    m_addOption = actions.addOption;
    m_optionActions = {actions.editOption, actions.deleteOption, actions.moveOptionUp, actions.moveOptionDown, actions.goToResult};
    m_clipboardActions = {actions.cut, actions.copy, actions.paste};
    connect(actions.bothSpeeches, &QAction::toggled, this, &CPageView::SetBothSpeeches);
    connect(optionList, &QListWidget::itemDoubleClicked, actions.goToResult, [this, go = actions.goToResult] {
        if (SelectedRow() >= 0)
            go->trigger();
    });
}

void CPageView::RefreshPage()
{
    ShowPage(m_session.GetDocument() ? m_session.GetCurrentPage() : nullptr);
    ShowSelection();
}

// The session's selection, the current row last so that it stays current.
void CPageView::ShowSelection()
{
    const std::vector<int> &rows = m_session.GetSelectedOptions();
    const int row = m_session.GetSelectedOption();
    if (rows == SelectedRows() && row == SelectedRow())
        return;
    m_showing = true;
    if (row >= 0 && row < optionList->count())
        optionList->setCurrentRow(row);
    else
        optionList->clearSelection();
    for (const int other : rows) {
        if (other != row && other < optionList->count())
            optionList->item(other)->setSelected(true);
    }
    m_showing = false;
}

void CPageView::TakeSelection()
{
    if (!m_showing)
        m_session.SetSelectedOptions(SelectedRows(), optionList->currentRow());
}

QPushButton *CPageView::AddButton(int id, const char *objectName, const QString &caption, QRect rect)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(objectName));
    button->setProperty("controlId", id);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    return button;
}

void CPageView::ShowPage(const DialogLine *page)
{
    m_page = page;
    const DialogLine::Fields fields = page ? page->ViewFields() : DialogLine::Fields();
    m_editName->setText(Shown(fields[0]));
    m_editDescription->setText(page ? Shown(page->ViewDescription()) : QString());
    m_editName->setCursorPosition(0);
    m_editDescription->setCursorPosition(0);

    m_bShowMaleSpeech = true;
    ShowNpcSpeech();
    ShowWordCount();

    m_showing = true;
    optionList->clear();
    if (page) {
        for (int i = 0; i < page->GetOptionCount(); ++i)
            InsertOptionLine(-1, page->GetOption(i));
    }
    optionList->setCurrentRow(optionList->count() > 0 ? 0 : -1);
    m_showing = false;
}

void CPageView::ShowNpcSpeech()
{
    const DialogLine::Fields fields = m_page ? m_page->ViewFields() : DialogLine::Fields();
    const auto show = [](QPlainTextEdit *box, std::string_view field) {
        box->setPlainText(Shown(field));
        box->setToolTip(ShownAsPlayed(field));
    };
    const bool alike = !m_page || m_page->IsSameSpeechForBoth();
    // Both shown: one speech fills the room of two.
    const bool both = m_bothSpeeches && !alike;
    m_editSpeech->resize(m_editSpeech->width(), m_speechHeight + (m_bothSpeeches && alike ? m_speechRoom : 0));
    m_lblFemaleCaption->setVisible(both);
    m_editFemaleSpeech->setVisible(both);
    viewFemaleButton->setVisible(!m_bothSpeeches);
    // Generated speech shows as its code, which is no words.
    const bool maleWords = m_page && m_page->CopySpeechCode().kind == 0;
    const bool femaleWords = m_page && m_page->CopyFemaleSpeechCode().kind == 0;
    if (alike) {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to both genders:"));
        viewFemaleButton->setEnabled(false);
        m_speechSpelling->SetActive(maleWords);
        show(m_editSpeech, fields[1]);
        return;
    }
    if (both) {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to male PC:"));
        m_speechSpelling->SetActive(maleWords);
        m_femaleSpelling->SetActive(femaleWords);
        show(m_editSpeech, fields[1]);
        show(m_editFemaleSpeech, fields[2]);
    } else if (m_bShowMaleSpeech) {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to male PC:"));
        m_speechSpelling->SetActive(maleWords);
        show(m_editSpeech, fields[1]);
    } else {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to female PC:"));
        m_speechSpelling->SetActive(femaleWords);
        show(m_editSpeech, fields[2]);
    }
    viewFemaleButton->setEnabled(true);
}

void CPageView::OnViewFemaleSpeech()
{
    if (!m_page || m_page->IsSameSpeechForBoth() || m_bothSpeeches)
        return;
    m_bShowMaleSpeech = !m_bShowMaleSpeech;
    ShowNpcSpeech();
}

void CPageView::SetBothSpeeches(bool on)
{
    if (on == m_bothSpeeches)
        return;
    m_bothSpeeches = on;
    ApplySpeechRoom();
    ShowNpcSpeech();
}

// The speech frame grows by the second speech's room; the options' frame
// and list give it up, so nothing below them moves.
void CPageView::ApplySpeechRoom()
{
    const DialogUnits units(font());
    const int room = m_bothSpeeches ? units.Y(kSecondSpeechRoom) : 0;
    const int by = room - m_speechRoom;
    m_speechRoom = room;
    m_grpNpcSpeech->resize(m_grpNpcSpeech->width(), m_grpNpcSpeech->height() + by);
    for (QWidget *below : {static_cast<QWidget *>(m_grpOptions), static_cast<QWidget *>(optionList)})
        below->setGeometry(below->x(), below->y() + by, below->width(), qMax(0, below->height() - by));
    const QRect speech = m_editSpeech->geometry();
    const int captionTop = speech.y() + m_speechHeight + units.Y(2);
    m_lblFemaleCaption->setGeometry(m_lblSpeechCaption->x(), captionTop, m_lblSpeechCaption->width(), m_lblSpeechCaption->height());
    m_editFemaleSpeech->setGeometry(speech.x(), captionTop + units.Y(14), speech.width(), m_speechHeight);
}

void CPageView::ShowWordCount()
{
    const SpeechCount page = m_page ? SpeechCount::OfPage(*m_page) : SpeechCount();
    const QLocale locale;
    const long long onPage = page.npcWords + page.pcWords;
    const QString words = QStringLiteral("%1 %2").arg(locale.toString(onPage), onPage == 1 ? QStringLiteral("word") : QStringLiteral("words"));
    wordCount->setText(m_documentWords < 0 ? words : QStringLiteral("%1 of %2").arg(words, locale.toString(m_documentWords)));
    wordCount->setToolTip(QStringLiteral("Words of speech on this page: NPC %1, PC %2 (in the whole document: %3), as dlgtool stats counts them")
                              .arg(locale.toString(page.npcWords), locale.toString(page.pcWords),
                                   m_documentWords < 0 ? QStringLiteral("counting") : locale.toString(m_documentWords)));
}

bool CPageView::IsWordCountUpToDate() const
{
    return m_countJob.IsUpToDate() && m_countJob.GetRequested() == SnapshotFeed::Of(m_session).GetGeneration();
}

void CPageView::CountDocument(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    if (!document) {
        m_countJob.Skip(generation);
        m_documentWords = -1;
        ShowWordCount();
        return;
    }
    m_countJob.Run(generation, [document, generation] {
        auto words = std::make_shared<DocumentWords>();
        words->generation = generation;
        words->count = SpeechCount::Of(*document);
        return words;
    });
}

int CPageView::InsertOptionLine(int index, DialogLine *option)
{
    const int row = optionList->InsertEntry(index, Shown(OptionDescription::Build(*option)), option);
    if (const QString played = ShownAsPlayed(option->ViewFields()[1]); !played.isEmpty())
        optionList->item(row)->setToolTip(played);
    return row;
}

int CPageView::SelectedRow() const
{
    const int current = optionList->currentRow();
    if (current >= 0 && optionList->item(current)->isSelected())
        return current;
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

std::vector<int> CPageView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : optionList->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Enter that reaches the page from its own controls saves, as "&Save"
// does, unless a push button has the focus: then it presses that button.
// Enter in a panel, a bar or a dialog never comes here.
void CPageView::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()); button && isAncestorOf(button))
            button->click();
        else
            emit enterPressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CPageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    OnSize(m_laidOutSize, event->size());
    m_laidOutSize = event->size();
}

// Controls follow the client area by exactly how much it changed: the frames
// and text boxes widen, the option list takes the extra height, and the
// controls below it ride down (the file buttons also right).
void CPageView::OnSize(QSize oldSize, QSize newSize)
{
    if (!oldSize.isValid())
        return;
    const int dx = newSize.width() - oldSize.width();
    const int dy = newSize.height() - oldSize.height();
    const auto stretch = [](QWidget *control, int byX, int byY) {
        const QRect r = control->geometry();
        control->resize(qMax(0, r.width() + byX), qMax(0, r.height() + byY));
    };
    const auto shift = [](QWidget *control, int byX, int byY) { control->move(control->pos() + QPoint(byX, byY)); };
    stretch(m_grpPage, dx, 0);
    stretch(m_grpNpcSpeech, dx, 0);
    stretch(m_grpOptions, dx, dy);
    stretch(m_editDescription, dx, 0);
    stretch(m_editSpeech, dx, 0);
    stretch(m_editFemaleSpeech, dx, 0);
    stretch(wordCount, dx, 0);
    stretch(optionList, dx, dy);
    for (QWidget *control : {openButton, saveButton, exitButton})
        shift(control, dx, dy);
    for (QWidget *control : {static_cast<QWidget *>(statusLabel), static_cast<QWidget *>(goToButton), static_cast<QWidget *>(newPageButton),
                             static_cast<QWidget *>(addOptionButton), static_cast<QWidget *>(deleteOptionButton),
                             static_cast<QWidget *>(editOptionButton), static_cast<QWidget *>(goToResultButton),
                             static_cast<QWidget *>(moveDownButton), static_cast<QWidget *>(moveUpButton)})
        shift(control, 0, dy);
}


// The option commands, at the option list: the buttons' own commands,
// under the buttons' captions, enabled as they are.
void CPageView::OnContextMenu(const QPoint &listPosition)
{
    if (!optionList->viewport()->rect().contains(listPosition) || !m_addOption)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("optionContextMenu"));
    const auto entry = [&menu](const QString &text, QAction *action) {
        QAction *item = menu.addAction(text);
        item->setEnabled(action->isEnabled());
        connect(item, &QAction::triggered, action, &QAction::trigger);
    };
    entry(QStringLiteral("&Add option..."), m_addOption);
    menu.addSeparator();
    const QPushButton *buttons[] = {editOptionButton, deleteOptionButton, moveUpButton, moveDownButton, goToResultButton};
    for (qsizetype i = 0; i < m_optionActions.size() && i < qsizetype(std::size(buttons)); ++i)
        entry(buttons[i]->text(), m_optionActions[i]);
    menu.addSeparator();
    for (QAction *action : std::as_const(m_clipboardActions))
        entry(action->text(), action);
    menu.exec(optionList->viewport()->mapToGlobal(listPosition));
}

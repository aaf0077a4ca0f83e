#include "app/LinksHereLabel.h"

#include "session/EditingSession.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
// A page that half the file leads to lists the first of them.
constexpr size_t kMostListed = 50;
// The lines the place shows before it scrolls.
constexpr int kLinesShown = 4;
} // namespace

LinksHereLabel::LinksHereLabel(EditingSession &session, QWidget *parent)
    : QScrollArea(parent)
    , m_session(session)
    , m_body(new QWidget(this))
    , m_rows(new QVBoxLayout(m_body))
    , m_caption(new QLabel(m_body))
{
    setObjectName(QStringLiteral("linksHere"));
    setAccessibleName(QStringLiteral("What leads here"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    m_caption->setObjectName(QStringLiteral("linksHereCaption"));
    m_caption->setWordWrap(true);
    m_rows->addWidget(m_caption);
    m_rows->addStretch(1);
    setWidget(m_body);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    connect(&session, &EditingSession::currentPageChanged, this, &LinksHereLabel::ShowPage);
    connect(&session, &EditingSession::documentReplaced, this, [this] { ShowPage(m_session.GetCurrentPage()); });
}

QSize LinksHereLabel::sizeHint() const
{
    const int lines = std::min(kLinesShown, static_cast<int>(m_rows->count()) - 1);
    const int height = fontMetrics().lineSpacing() * std::max(1, lines) + contentsMargins().top() + contentsMargins().bottom() + 2;
    return {QScrollArea::sizeHint().width(), std::min(height, m_body->sizeHint().height() + contentsMargins().top() + contentsMargins().bottom())};
}

// A link names the page and the option by their places: "2/0".
void LinksHereLabel::Follow(const QString &target)
{
    const DialogFile *shown = m_session.GetDocument();
    const QStringList places = target.split(QLatin1Char('/'));
    DialogLine *from = shown ? shown->GetPage(places.value(0).toInt()) : nullptr;
    if (from && places.value(1).toInt() < from->GetOptionCount())
        m_session.ShowLine(from, from->GetOption(places.value(1).toInt()));
}

// Enter or Space on a link that has the focus follows it.
bool LinksHereLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->property("link").isValid()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Follow(watched->property("target").toString());
            return true;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

QList<QLabel *> LinksHereLabel::GetLinks() const
{
    QList<QLabel *> links;
    for (int i = 1; i < m_rows->count(); ++i) {
        if (auto *label = qobject_cast<QLabel *>(m_rows->itemAt(i)->widget()); label && label->property("link").isValid())
            links << label;
    }
    return links;
}

void LinksHereLabel::ShowPage(const DialogLine *page)
{
    // What the rows will say: the caption, then each link's page, option,
    // name and speech, then how many more there are.
    QStringList shown;
    const DialogFile *document = m_session.GetDocument();
    std::vector<DialogFile::Link> links;
    if (page && document) {
        links = document->FindLinksTo(page);
        const QString start = document->GetPage(0) == page ? QStringLiteral("The conversation starts here. ") : QString();
        shown << start + (links.empty() ? QStringLiteral("No option leads here.") : QStringLiteral("Leads here:"));
        for (size_t i = 0; i < links.size() && i < kMostListed; ++i) {
            const DialogFile::Link &link = links[i];
            shown << QString::number(document->IndexOf(link.page)) << QString::number(link.page->IndexOfOption(link.option))
                  << AnsiText::ToDisplay(link.page->GetLabel()) << AnsiText::ToDisplay(link.option->GetSpeech());
        }
        if (links.size() > kMostListed)
            shown << QString::number(links.size() - kMostListed);
    }
    // An edit shows its page again: rows that would say the same stay.
    if (shown == m_shown)
        return;
    m_shown = shown;
    // The rows go once this call's caller is done with them: a link's own
    // activation may have led here.
    while (m_rows->count() > 2) {
        QLayoutItem *item = m_rows->takeAt(1);
        QWidget *row = item->widget();
        delete item;
        row->hide();
        row->deleteLater();
    }
    if (shown.isEmpty()) {
        m_caption->clear();
        updateGeometry();
        return;
    }
    m_caption->setText(shown.constFirst());
    int at = 1;
    for (size_t i = 0; i < links.size() && i < kMostListed; ++i) {
        const qsizetype field = 1 + 4 * static_cast<qsizetype>(i);
        const QString &pageIndex = shown[field];
        const int optionIndex = shown[field + 1].toInt();
        const QString &name = shown[field + 2];
        const QString &speech = shown[field + 3];
        auto *row = new QLabel(QStringLiteral("<a href=\"%1/%2\">%3</a> (\"%4\")")
                                   .arg(pageIndex)
                                   .arg(optionIndex)
                                   .arg(name.toHtmlEscaped(), speech.toHtmlEscaped()),
                               m_body);
        row->setObjectName(QStringLiteral("linkHere%1").arg(i + 1));
        row->setProperty("link", true);
        row->setTextFormat(Qt::RichText);
        row->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        row->setFocusPolicy(Qt::StrongFocus);
        row->setAccessibleName(QStringLiteral("%1, option %2: %3").arg(name).arg(optionIndex + 1).arg(speech));
        row->setProperty("target", QStringLiteral("%1/%2").arg(pageIndex).arg(optionIndex));
        row->installEventFilter(this);
        connect(row, &QLabel::linkActivated, this, &LinksHereLabel::Follow);
        m_rows->insertWidget(at++, row);
        row->show(); // reachable at once, not once the layout gets to it
    }
    if (links.size() > kMostListed) {
        auto *more = new QLabel(QStringLiteral("and %1 more").arg(shown.constLast()), m_body);
        m_rows->insertWidget(at, more);
        more->show();
    }
    updateGeometry();
}

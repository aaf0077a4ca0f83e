#include "app/LinksHereLabel.h"

#include "app/EditingSession.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

namespace {
// A page that half the file leads to lists the first of them.
constexpr size_t kMostListed = 50;
} // namespace

LinksHereLabel::LinksHereLabel(EditingSession &session, QWidget *parent)
    : QLabel(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("linksHere"));
    setAccessibleName(QStringLiteral("Leads here"));
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // A link names the page and the option by their places: "2/0".
    connect(this, &QLabel::linkActivated, this, [this](const QString &link) {
        const DialogFile *document = m_session.GetDocument();
        const QStringList places = link.split(QLatin1Char('/'));
        DialogLine *page = document ? document->GetPage(places.value(0).toInt()) : nullptr;
        if (page && places.value(1).toInt() < page->GetOptionCount())
            emit optionActivated(page, page->GetOption(places.value(1).toInt()));
    });
}

void LinksHereLabel::ShowPage(const DialogLine *page)
{
    const DialogFile *document = m_session.GetDocument();
    if (!page || !document) {
        clear();
        return;
    }
    QString text = document->GetPage(0) == page ? QStringLiteral("The conversation starts here. ") : QString();
    const std::vector<DialogFile::Link> links = document->FindLinksTo(page);
    if (links.empty()) {
        setText(text + QStringLiteral("No option leads here."));
        return;
    }
    text += QStringLiteral("Leads here: ");
    for (size_t i = 0; i < links.size() && i < kMostListed; ++i) {
        const DialogFile::Link &link = links[i];
        text += QStringLiteral("%1<a href=\"%2/%3\">%4</a> (\"%5\")")
                    .arg(i > 0 ? QStringLiteral(", ") : QString())
                    .arg(document->IndexOf(link.page))
                    .arg(link.page->IndexOfOption(link.option))
                    .arg(AnsiText::ToDisplay(link.page->GetLabel()).toHtmlEscaped(), AnsiText::ToDisplay(link.option->GetSpeech()).toHtmlEscaped());
    }
    if (links.size() > kMostListed)
        text += QStringLiteral(" and %1 more").arg(links.size() - kMostListed);
    setText(text);
}

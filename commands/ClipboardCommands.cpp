#include "commands/ClipboardCommands.h"

#include "commands/PageCommands.h"
#include "edits/CopiedLines.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "session/EditingSession.h"
#include "ui/AnsiText.h"
#include "ui/Counted.h"
#include "ui/Prompter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

const QString ClipboardCommands::MimeType = QStringLiteral("application/x-talkwright-lines");

ClipboardCommands::ClipboardCommands(EditingSession &session, Prompter &prompter, PageCommands &pages, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_pages(pages)
    , m_parent(parent)
{
}

bool ClipboardCommands::ClipboardHoldsText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasFormat(MimeType) || data->hasText());
}

// Text editors here end lines in LF; the reader takes both.
void ClipboardCommands::Put(const CopiedLines &lines)
{
    auto *data = new QMimeData;
    data->setText(AnsiText::ToDisplay(lines.GetText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const std::string bytes = lines.GetData();
    data->setData(MimeType, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(data);
}

bool ClipboardCommands::Take(CopiedLines &lines)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    std::string reason = "it is empty";
    bool read = false;
    if (data && data->hasFormat(MimeType)) {
        const QByteArray bytes = data->data(MimeType);
        read = lines.ReadData(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), reason);
    } else if (data && data->hasText()) {
        std::string bytes;
        if (AnsiText::FromDisplay(data->text(), bytes))
            read = lines.ReadText(bytes, reason);
        else
            reason = "it holds a character that a dialog file cannot carry";
    }
    if (!read)
        m_prompter.Tell(m_parent, QStringLiteral("Paste"),
                        QStringLiteral("The clipboard holds no dialog lines to paste, so nothing was pasted: %1.").arg(AnsiText::ToDisplay(reason)),
                        Prompter::Exclamation);
    return read;
}

void ClipboardCommands::OnCopy()
{
    DialogFile *document = m_session.GetDocument();
    DialogLine *page = m_session.GetCurrentPage();
    const std::vector<int> &rows = m_session.GetSelectedOptions();
    if (!document || !page || rows.empty())
        return;
    Put(CopiedLines::OfOptions(*document, document->IndexOf(page), rows));
    emit message(QStringLiteral("Copied ") + Counted(static_cast<qsizetype>(rows.size()), "option", "options"));
}

void ClipboardCommands::OnCut()
{
    DialogLine *page = m_session.GetCurrentPage();
    const std::vector<int> rows = m_session.GetSelectedOptions();
    DialogFile *document = m_session.GetDocument();
    if (!document || !page || rows.empty())
        return;
    Put(CopiedLines::OfOptions(*document, document->IndexOf(page), rows));
    m_session.DeleteOptions(*page, rows, rows.size() == 1 ? QStringLiteral("Cut Option") : QStringLiteral("Cut Options"));
    m_session.Redisplay();
    emit message(QStringLiteral("Cut ") + Counted(static_cast<qsizetype>(rows.size()), "option", "options"));
}

int ClipboardCommands::PageOnDisplay()
{
    DialogFile *document = m_session.GetDocument();
    const int index = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (index < 0)
        PageCommands::HaveCurrentPage(m_session, m_prompter, m_parent);
    return index;
}

void ClipboardCommands::OnCopyPage()
{
    const int index = PageOnDisplay();
    if (index < 0)
        return;
    DialogFile *document = m_session.GetDocument();
    Put(CopiedLines::OfPages(*document, {index}));
    emit message(QStringLiteral("Copied the page \"%1\"").arg(AnsiText::ToDisplay(document->GetPage(index)->GetLabel())));
}

// A page that options lead to is cut only when the writer says so: they
// will end the dialog.
void ClipboardCommands::OnCutPage()
{
    const int index = PageOnDisplay();
    if (index < 0 || !m_pages.ConfirmDeletePage(QStringLiteral("Cut page"), QStringLiteral("Cu&t"), false))
        return;
    DialogFile *document = m_session.GetDocument();
    const QString name = AnsiText::ToDisplay(document->GetPage(index)->GetLabel());
    Put(CopiedLines::OfPages(*document, {index}));
    m_session.DeletePage(index, QStringLiteral("Cut Page"));
    emit message(QStringLiteral("Cut the page \"%1\"").arg(name));
}

void ClipboardCommands::OnPaste()
{
    Paste(false);
}

void ClipboardCommands::OnPastePage()
{
    Paste(true);
}

void ClipboardCommands::Paste(bool pagesOnly)
{
    DialogFile *document = m_session.GetDocument();
    CopiedLines lines;
    if (!document || !Take(lines))
        return;
    int cut = 0;
    const int count = lines.GetCount();
    QString pasted;
    if (lines.HoldsPages()) {
        const int index = document->IndexOf(m_session.GetCurrentPage()) + 1; // 0 without a page
        m_session.Push(lines.PastePages(*document, index, cut), count == 1 ? QStringLiteral("Paste Page") : QStringLiteral("Paste Pages"));
        pasted = Counted(count, "page", "pages");
    } else {
        if (pagesOnly) {
            m_prompter.Tell(m_parent, QStringLiteral("Paste page"),
                            QStringLiteral("The clipboard holds PC options, not pages: paste them among the options of a page (Ctrl+V)."),
                            Prompter::Exclamation);
            return;
        }
        if (!PageCommands::HaveCurrentPage(m_session, m_prompter, m_parent))
            return;
        DialogLine &page = *m_session.GetCurrentPage();
        const std::vector<int> &rows = m_session.GetSelectedOptions();
        const int index = rows.empty() ? page.GetOptionCount() : rows.back() + 1;
        m_session.Push(lines.PasteOptions(*document, page, index, cut), count == 1 ? QStringLiteral("Paste Option") : QStringLiteral("Paste Options"));
        pasted = Counted(count, "option", "options");
    }
    QString said = QStringLiteral("Pasted ") + pasted;
    if (cut > 0)
        said += QStringLiteral("; ") + Counted(cut, "line led", "lines led")
            + QStringLiteral(" to a page this document does not have, and now ") + (cut == 1 ? QStringLiteral("ends") : QStringLiteral("end"))
            + QStringLiteral(" the dialog");
    emit message(said);
}

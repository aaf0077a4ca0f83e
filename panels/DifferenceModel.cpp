#include "panels/DifferenceModel.h"

#include "compare/ConversationDiff.h"
#include "compare/DiffWording.h"
#include "textdiff/WordDiff.h"
#include "ui/AnsiText.h"

namespace {

using Diff = ConversationDiff;
using Entry = DifferenceModel::Entry;

// A text of the file, as the screen shows it in rich text.
QString Html(std::string_view bytes)
{
    return AnsiText::ToDisplay(bytes).toHtmlEscaped();
}

Entry Make(const std::string &text, int page, int option)
{
    Entry entry;
    entry.text = AnsiText::ToDisplay(text);
    entry.html = Html(text);
    entry.page = page;
    entry.option = option;
    return entry;
}

// A field's change; a text's words that changed struck through or underlined.
Entry FieldEntry(const Diff::Field &field, bool added, int page, int option)
{
    if (added || !field.IsText())
        return Make(DiffWording::Field(field, added, [](const std::string &, const std::string &) { return std::string(); }), page, option);
    const std::vector<WordDiff::Piece> pieces = WordDiff::Compare(field.before, field.after);
    const std::string name = std::string(LineFields::Name(field.field)) + ": ";
    Entry entry = Make(name + WordDiff::Marked(pieces), page, option);
    entry.html = Html(name);
    for (const WordDiff::Piece &piece : pieces) {
        if (piece.kind == WordDiff::Piece::Same)
            entry.html += Html(piece.text);
        else if (piece.kind == WordDiff::Piece::Removed)
            entry.html += QStringLiteral("<s style=\"color:#b00020\">") + Html(piece.text) + QStringLiteral("</s>");
        else
            entry.html += QStringLiteral("<u style=\"color:#00701a\">") + Html(piece.text) + QStringLiteral("</u>");
    }
    return entry;
}

void AddFields(Entry &entry, const std::vector<Diff::Field> &fields, bool added, int page, int option)
{
    for (const Diff::Field &field : fields)
        entry.children.push_back(FieldEntry(field, added, page, option));
}

void Link(std::vector<Entry> &entries, const Entry *up)
{
    for (size_t row = 0; row < entries.size(); ++row) {
        entries[row].up = up;
        entries[row].row = static_cast<int>(row);
        Link(entries[row].children, &entries[row]);
    }
}

} // namespace

std::vector<Entry> DifferenceModel::EntriesOf(const ConversationDiff &diff)
{
    std::vector<Entry> entries;
    for (const Diff::Page &page : diff.GetPages()) {
        Entry entry = Make(DiffWording::Page(page), page.after, -1);
        AddFields(entry, page.fields, page.change == Diff::Change::Added, page.after, -1);
        for (const Diff::Option &option : page.options) {
            Entry child = Make(DiffWording::Option(option), page.after, option.after);
            AddFields(child, option.fields, option.change == Diff::Change::Added, page.after, option.after);
            entry.children.push_back(std::move(child));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void DifferenceModel::SetEntries(std::vector<Entry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    Link(m_entries, nullptr);
    endResetModel();
}

const DifferenceModel::Entry *DifferenceModel::EntryAt(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    const std::vector<Entry> &siblings = ChildrenOf(static_cast<const Entry *>(index.internalPointer()));
    return static_cast<size_t>(index.row()) < siblings.size() ? &siblings[static_cast<size_t>(index.row())] : nullptr;
}

// An index holds the entry above it, whose children it is one of.
QModelIndex DifferenceModel::index(int row, int column, const QModelIndex &parent) const
{
    const Entry *up = EntryAt(parent);
    if (parent.isValid() && !up)
        return {};
    if (column != 0 || row < 0 || static_cast<size_t>(row) >= ChildrenOf(up).size())
        return {};
    return createIndex(row, 0, const_cast<Entry *>(up));
}

QModelIndex DifferenceModel::parent(const QModelIndex &index) const
{
    const auto *up = index.isValid() ? static_cast<const Entry *>(index.internalPointer()) : nullptr;
    return up ? createIndex(up->row, 0, const_cast<Entry *>(up->up)) : QModelIndex();
}

int DifferenceModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_entries.size());
    const Entry *entry = EntryAt(parent);
    return entry ? static_cast<int>(entry->children.size()) : 0;
}

int DifferenceModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant DifferenceModel::data(const QModelIndex &index, int role) const
{
    const Entry *entry = EntryAt(index);
    if (!entry)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return entry->text;
    case MarkedRole:
        return entry->html;
    default:
        return {};
    }
}

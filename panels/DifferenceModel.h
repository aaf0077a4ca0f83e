#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <vector>

class ConversationDiff;

// What the differences panel lists, as dlgtool diff says it: each page that
// changed, under it what changed there (its texts, its options), and under
// an option what changed in it; the words that changed marked.
class DifferenceModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The entry as rich text, its removed and added words marked for the screen.
    static constexpr int MarkedRole = Qt::UserRole + 1;

    struct Entry {
        QString text;  // "[-removed-]{+added+}" marks the words that changed
        QString html;  // the same, marked for the screen
        int page = -1;   // the page it is about, in the open document; -1 for a page it no longer has
        int option = -1; // the option there; -1 for the page itself
        std::vector<Entry> children;
        const Entry *up = nullptr; // set by SetEntries
        int row = 0;
    };

    // The entries of a comparison whose after is the open document. Needs
    // no window: it may be made off the user interface thread.
    static std::vector<Entry> EntriesOf(const ConversationDiff &diff);

    using QAbstractItemModel::QAbstractItemModel;

    void SetEntries(std::vector<Entry> entries);
    const std::vector<Entry> &GetEntries() const { return m_entries; }
    const Entry *EntryAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const std::vector<Entry> &ChildrenOf(const Entry *entry) const { return entry ? entry->children : m_entries; }

    std::vector<Entry> m_entries;
};

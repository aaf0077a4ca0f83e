#pragma once

#include "edits/DocumentText.h"

#include <QRegularExpression>
#include <QString>
#include <string>
#include <vector>

class DialogFile;

// A search through every text of a document (see DocumentText), as the
// find bar runs it: plain text or a regular expression, with or without
// case, whole words only or anywhere. Texts are matched as the editor
// shows them, through the lossless Windows-1252 mapping.
class TextSearch {
public:
    struct Options {
        bool matchCase = false;
        bool wholeWords = false;
        bool regularExpression = false;
    };

    TextSearch(const QString &pattern, Options options);

    // False for an empty pattern or a regular expression that does not
    // compile; GetError then says why (empty for an empty pattern).
    bool IsValid() const;
    QString GetError() const;

    // Where each match stands in a text: start, length.
    using Matches = std::vector<std::pair<qsizetype, qsizetype>>;
    // A text that holds at least one match, and where each match stands in it.
    struct Hit {
        DocumentText::Place place;
        QString text;
        Matches matches;
    };
    std::vector<Hit> FindAll(const DialogFile &file) const;

    // What "Replace all" would do: the texts that change, as the bytes to
    // store, and the texts that cannot take their replacement, with why.
    struct Change {
        DocumentText::Place place;
        std::string bytes;
    };
    struct Refusal {
        DocumentText::Place place;
        std::string reason;
    };
    struct Replacement {
        std::vector<Change> changes;
        std::vector<Refusal> refused;
    };
    // replacement may name a regular expression's groups as \1, \2, ...
    Replacement ReplaceAll(const DialogFile &file, const QString &replacement) const;

private:
    // Plain text is matched on the file's bytes, with no conversion.
    void FindBytes(std::string_view text, Matches &matches) const;

    QRegularExpression m_expression;
    bool m_empty;
    bool m_plain;         // not a regular expression, and Windows-1252 can spell it
    Options m_options;
    std::string m_needle; // in lower case unless the case must match
};

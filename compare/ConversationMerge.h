#pragma once

class DialogFile;

// A three-way merge of a conversation: takes into ours every change that
// theirs made since base (pages and options added, removed and moved, texts,
// checks and jumps changed), matching pages and options as the comparison
// does. Where both changed one field, ours is kept and theirs recorded in a
// remark above the line (ConflictRemark); so is a page or option that one
// side removed and the other changed, or that one side removed while the
// other leads to it: it is kept. Every jump still leads to the page it led
// to on its side. Ours is left to be saved, which renumbers it.
class ConversationMerge {
public:
    // The number of conflicts recorded.
    static int Merge(const DialogFile &base, DialogFile &ours, const DialogFile &theirs);
};

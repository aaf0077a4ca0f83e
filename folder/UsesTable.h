#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FolderFile;

// Where each name that the conditions test and the results set is used,
// across the files of a folder. A name is a run of letters, digits and
// underscores, not only digits, in an option's conditions or in a results
// text ("quest_lamp>=2" names quest_lamp); names are told apart by their
// bytes, case and all.
class UsesTable {
public:
    // One condition or results text that names a name.
    struct Use {
        std::string file;
        int line = 0;
        int page = -1;   // the page's index in its file
        int option = -1; // the option's index on its page; -1 for the page's own text
        std::string pageName;
        std::string text; // the whole condition or results text
    };
    struct Name {
        std::string name;
        std::vector<Use> tested; // by conditions
        std::vector<Use> set;    // by results
        // A name set but never tested, or tested but never set, which is
        // likely a mistake (a misspelt name, a quest step forgotten).
        bool NeverTested() const { return tested.empty(); }
        bool NeverSet() const { return set.empty(); }
    };

    // The names in the files that were read, sorted by their bytes; each
    // name's uses in file and line order.
    static std::vector<Name> Build(const std::vector<FolderFile> &files);
    // The names in text, in order, each once.
    static std::vector<std::string_view> NamesIn(std::string_view text);
};

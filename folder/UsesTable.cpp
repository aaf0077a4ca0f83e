#include "folder/UsesTable.h"

#include "folder/FolderFile.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Windows1252.h"
#include "storage/DialogFiles.h"

#include <algorithm>
#include <map>

namespace {

bool InName(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return Windows1252::IsLetter(byte) || (c >= '0' && c <= '9') || c == '_';
}

// The names of one file, with their uses, in the order the file holds them.
using FileNames = std::map<std::string, UsesTable::Name, std::less<>>;

void AddUses(FileNames &names, const std::string &path, const DialogFile &file)
{
    const auto add = [&](const DialogLine &page, const DialogLine &line, int p, int o, std::string_view text, bool sets) {
        for (const std::string_view name : UsesTable::NamesIn(text)) {
            auto at = names.find(name);
            if (at == names.end())
                at = names.emplace(std::string(name), UsesTable::Name{std::string(name), {}, {}}).first;
            (sets ? at->second.set : at->second.tested)
                .push_back({path, line.GetFileLine(), p, o, std::string(page.ViewLabel()), std::string(text)});
        }
    };
    for (int p = 0; p < file.GetPageCount(); ++p) {
        const DialogLine &page = *file.GetPage(p);
        add(page, page, p, -1, page.ViewFields()[6], true);
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            const DialogLine &option = *page.GetOption(o);
            const DialogLine::Fields fields = option.ViewFields();
            add(page, option, p, o, fields[4], false);
            add(page, option, p, o, fields[6], true);
        }
    }
}

} // namespace

std::vector<std::string_view> UsesTable::NamesIn(std::string_view text)
{
    std::vector<std::string_view> names;
    for (size_t at = 0; at < text.size();) {
        if (!InName(text[at])) {
            ++at;
            continue;
        }
        const size_t start = at;
        bool digitsOnly = true;
        for (; at < text.size() && InName(text[at]); ++at)
            digitsOnly = digitsOnly && text[at] >= '0' && text[at] <= '9';
        const std::string_view name = text.substr(start, at - start);
        if (!digitsOnly && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::vector<UsesTable::Name> UsesTable::Build(const std::vector<FolderFile> &files)
{
    std::vector<FileNames> perFile(files.size());
    DialogFiles::ForEach(files.size(), [&](size_t i) {
        if (files[i].document)
            AddUses(perFile[i], files[i].path, *files[i].document);
    });
    FileNames all;
    for (FileNames &names : perFile) {
        for (auto &[key, name] : names) {
            Name &into = all.try_emplace(key, Name{key, {}, {}}).first->second;
            into.tested.insert(into.tested.end(), std::make_move_iterator(name.tested.begin()), std::make_move_iterator(name.tested.end()));
            into.set.insert(into.set.end(), std::make_move_iterator(name.set.begin()), std::make_move_iterator(name.set.end()));
        }
    }
    std::vector<Name> table;
    table.reserve(all.size());
    for (auto &[key, name] : all)
        table.push_back(std::move(name));
    return table;
}

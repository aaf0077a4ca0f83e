#include "words/WordList.h"

#include "model/DialogFile.h"
#include "model/Windows1252.h"
#include "storage/AtomicFile.h"
#include "storage/FileOps.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The word on one line of a list: its bytes without the blanks around them.
std::string_view Trimmed(std::string_view line)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    return line;
}

// Calls found(word) for each word of a list's bytes, as Windows-1252.
template <typename Found>
void ForEachWord(std::string_view bytes, Found found)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::string word;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        const std::string_view line = Trimmed(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.empty())
            continue;
        // A word that is not UTF-8, or that Windows-1252 cannot hold, is in
        // no dialog file.
        if (Windows1252::FromUtf8(line, word))
            found(std::string_view(word));
    }
}

// The folder the lists of a dialog file are looked for from.
fs::path StartFolder(const std::string &dialogPath)
{
    std::error_code ignored;
    if (dialogPath == "-")
        return fs::current_path(ignored);
    return fs::absolute(dialogPath, ignored).lexically_normal().parent_path();
}

} // namespace

bool WordList::Read(const std::string &path, std::vector<std::string> &words, std::string &error)
{
    std::string bytes;
    if (!DialogFile::ReadFileBytes(path, bytes, error))
        return false;
    ForEachWord(bytes, [&](std::string_view word) { words.emplace_back(word); });
    return true;
}

bool WordList::Add(const std::string &path, std::string_view word, std::string &error)
{
    if (word.empty() || word.find_first_of("\r\n") != std::string_view::npos) {
        error = "not one word";
        return false;
    }
    std::string bytes;
    std::error_code missing;
    if (fs::exists(path, missing) && !DialogFile::ReadFileBytes(path, bytes, error))
        return false;
    bool present = false;
    ForEachWord(bytes, [&](std::string_view listed) { present = present || listed == word; });
    if (present)
        return true;
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += '\n';
    bytes += Windows1252::ToUtf8(word) + '\n';
    AtomicFile file(FileOps::Default());
    if (file.Open(path) && file.Append(bytes) && file.Commit())
        return true;
    error = file.GetErrorText();
    return false;
}

std::vector<std::string> WordList::ProjectLists(const std::string &dialogPath, const std::string &home)
{
    std::vector<std::string> lists;
    if (dialogPath.empty())
        return lists;
    std::error_code ignored;
    fs::path homeFolder = home.empty() ? fs::path() : fs::absolute(home, ignored).lexically_normal();
    if (!homeFolder.has_filename()) // "/home/ann/"
        homeFolder = homeFolder.parent_path();
    for (fs::path folder = StartFolder(dialogPath); !folder.empty(); folder = folder.parent_path()) {
        const fs::path list = folder / kFileName;
        if (fs::is_regular_file(list, ignored))
            lists.push_back(list.string());
        if (fs::exists(folder / ".git", ignored) || folder == homeFolder || folder == folder.root_path())
            break;
    }
    return lists;
}

std::string WordList::NearestList(const std::string &dialogPath, const std::string &home, const std::string &dataFolder)
{
    if (dialogPath.empty())
        return PersonalList(dataFolder);
    const std::vector<std::string> lists = ProjectLists(dialogPath, home);
    return lists.empty() ? (StartFolder(dialogPath) / kFileName).string() : lists.front();
}

std::string WordList::PersonalList(const std::string &dataFolder)
{
    if (dataFolder.empty())
        return {};
    return (fs::path(dataFolder) / kFileName).string();
}

std::vector<std::string> WordList::ListsFor(const std::string &dialogPath, const std::string &home, const std::string &dataFolder)
{
    std::vector<std::string> lists;
    std::error_code ignored;
    if (!dataFolder.empty() && fs::exists(PersonalList(dataFolder), ignored))
        lists.push_back(PersonalList(dataFolder));
    for (std::string &list : ProjectLists(dialogPath, home))
        lists.push_back(std::move(list));
    return lists;
}

std::string WordList::DataFolder()
{
    const char *data = std::getenv("XDG_DATA_HOME");
    fs::path folder;
    if (data && data[0] == '/')
        folder = data;
    else if (!Home().empty())
        folder = fs::path(Home()) / ".local/share";
    else
        return {};
    return (folder / "Talkwright" / "talkwright").string();
}

std::string WordList::Home()
{
    const char *home = std::getenv("HOME");
    return home ? home : "";
}

#include "spelling/HunspellDictionary.h"

#include "model/Windows1252.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <hunspell.hxx>
#include <iconv.h>
#include <set>

namespace {

// The name iconv knows an encoding by that Hunspell names as a dictionary
// file does ("microsoft-cp1251" for Windows-1251).
std::string IconvName(std::string name)
{
    if (name.rfind("microsoft-", 0) == 0)
        return name.substr(10);
    if (name == "TIS620-2533")
        return "TIS-620";
    return name;
}

bool IsUtf8(const std::string &encoding)
{
    return encoding == "UTF-8" || encoding == "utf-8" || encoding == "UTF8" || encoding == "utf8";
}

bool Readable(const std::string &path, std::string &error)
{
    std::ifstream file(path, std::ios::binary);
    if (file && file.peek() != std::ifstream::traits_type::eof())
        return true;
    error = "cannot read " + path + ": " + (file ? "the file is empty" : std::strerror(errno));
    return false;
}

// A language's name as dictionary files take it: letters, digits, "_" and "-".
bool IsLanguageName(const std::string &language)
{
    if (language.empty())
        return false;
    for (const char c : language) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return false;
    }
    return true;
}

} // namespace

// One direction of iconv between UTF-8 and the dictionary's encoding.
class HunspellDictionary::Converter {
public:
    Converter(const std::string &to, const std::string &from)
        : m_iconv(iconv_open(to.c_str(), from.c_str()))
    {
    }
    ~Converter()
    {
        if (Works())
            iconv_close(m_iconv);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool Works() const { return m_iconv != reinterpret_cast<iconv_t>(-1); }

    // text converted whole; false when a character has no form there.
    bool Convert(std::string_view text, std::string &out)
    {
        iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
        out.assign(text.size() * 4 + 8, '\0');
        char *in = const_cast<char *>(text.data());
        size_t inLeft = text.size();
        char *put = out.data();
        size_t outLeft = out.size();
        if (iconv(m_iconv, &in, &inLeft, &put, &outLeft) == static_cast<size_t>(-1)
            || iconv(m_iconv, nullptr, nullptr, &put, &outLeft) == static_cast<size_t>(-1))
            return false;
        out.resize(out.size() - outLeft);
        return true;
    }

private:
    iconv_t m_iconv;
};

HunspellDictionary::~HunspellDictionary() = default;

std::vector<std::string> HunspellDictionary::Folders()
{
    std::vector<std::string> folders;
    if (const char *path = std::getenv("DICPATH")) {
        std::string_view rest = path;
        while (!rest.empty()) {
            const size_t colon = rest.find(':');
            if (colon != 0)
                folders.emplace_back(rest.substr(0, colon));
            rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        }
    }
    folders.emplace_back("/usr/share/hunspell");
    return folders;
}

std::vector<std::string> HunspellDictionary::Languages(const std::vector<std::string> &folders)
{
    namespace fs = std::filesystem;
    std::set<std::string> languages;
    for (const std::string &folder : folders) {
        std::error_code failed;
        fs::directory_iterator entry(folder, failed);
        for (; !failed && entry != fs::directory_iterator(); entry.increment(failed)) {
            const fs::path &path = entry->path();
            std::error_code missing;
            if (path.extension() == ".aff" && IsLanguageName(path.stem().string())
                && fs::exists(fs::path(path).replace_extension(".dic"), missing))
                languages.insert(path.stem().string());
        }
    }
    return {languages.begin(), languages.end()};
}

std::unique_ptr<HunspellDictionary> HunspellDictionary::Load(const std::string &language, const std::vector<std::string> &folders,
                                                             std::string &error)
{
    if (!IsLanguageName(language)) {
        error = "\"" + language + "\" is not the name of a language";
        return nullptr;
    }
    for (const std::string &folder : folders) {
        const std::string base = folder + "/" + language;
        std::error_code ignored;
        if (std::filesystem::exists(base + ".aff", ignored) && std::filesystem::exists(base + ".dic", ignored))
            return Open(base + ".aff", base + ".dic", error);
    }
    error = "no dictionary for " + language + " (the Debian package " + PackageOf(language) + " provides it)";
    return nullptr;
}

std::unique_ptr<HunspellDictionary> HunspellDictionary::Open(const std::string &affPath, const std::string &dicPath, std::string &error)
{
    // Hunspell makes an empty dictionary of files it cannot read, which
    // would take every word as misspelt without a word of why.
    if (!Readable(affPath, error) || !Readable(dicPath, error))
        return nullptr;
    std::unique_ptr<HunspellDictionary> dictionary(new HunspellDictionary);
    dictionary->m_hunspell = std::make_unique<Hunspell>(affPath.c_str(), dicPath.c_str());
    dictionary->m_encoding = dictionary->m_hunspell->get_dict_encoding();
    if (!IsUtf8(dictionary->m_encoding)) {
        const std::string name = IconvName(dictionary->m_encoding);
        dictionary->m_toDictionary = std::make_unique<Converter>(name, "UTF-8");
        dictionary->m_fromDictionary = std::make_unique<Converter>("UTF-8", name);
        if (!dictionary->m_toDictionary->Works() || !dictionary->m_fromDictionary->Works()) {
            error = affPath + " is in the encoding " + dictionary->m_encoding + ", which this system cannot convert";
            return nullptr;
        }
    }
    return dictionary;
}

std::string HunspellDictionary::PackageOf(const std::string &language)
{
    std::string package = "hunspell-";
    for (const char c : language)
        package += c == '_' ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return package;
}

bool HunspellDictionary::Encode(std::string_view word, std::string &encoded)
{
    encoded = Windows1252::ToUtf8(word);
    if (!m_toDictionary)
        return true;
    const std::string utf8 = std::move(encoded);
    return m_toDictionary->Convert(utf8, encoded);
}

bool HunspellDictionary::Decode(const std::string &encoded, std::string &word)
{
    std::string utf8;
    if (m_fromDictionary && !m_fromDictionary->Convert(encoded, utf8))
        return false;
    return Windows1252::FromUtf8(m_fromDictionary ? utf8 : encoded, word);
}

bool HunspellDictionary::Knows(std::string_view word)
{
    const std::lock_guard lock(m_mutex);
    std::string encoded;
    return Encode(word, encoded) && m_hunspell->spell(encoded);
}

std::vector<std::string> HunspellDictionary::Suggest(std::string_view word)
{
    const std::lock_guard lock(m_mutex);
    std::vector<std::string> suggestions;
    std::string encoded;
    if (!Encode(word, encoded))
        return suggestions;
    std::string bytes;
    for (const std::string &suggestion : m_hunspell->suggest(encoded)) {
        if (Decode(suggestion, bytes))
            suggestions.push_back(bytes);
    }
    return suggestions;
}

void HunspellDictionary::Add(std::string_view word)
{
    const std::lock_guard lock(m_mutex);
    std::string encoded;
    if (Encode(word, encoded))
        m_hunspell->add(encoded);
}

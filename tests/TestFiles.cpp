#include "TestFiles.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

TestFiles::TestFiles()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "talkwright-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_dir = pattern;
}

TestFiles::~TestFiles()
{
    std::error_code ignored;
    std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_dir, ignored);
}

std::string TestFiles::Path(std::string_view name) const
{
    return m_dir + "/" + std::string(name);
}

std::string TestFiles::Write(std::string_view name, std::string_view bytes) const
{
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

int TestFiles::EntryCount() const
{
    const std::filesystem::directory_iterator entries(m_dir);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

std::string TestFiles::ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TestFiles::Crlf(std::string_view lf)
{
    std::string out;
    for (const char c : lf)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

namespace {

void DescribeLine(std::ostringstream &out, const DialogLine &line, const DialogFile &file)
{
    out << line.GetNumber() << " [" << line.GetLabel() << "]";
    for (int i = 1; i < DialogLine::FieldCount; ++i) {
        if (i != 5)
            out << '{' << line.GetField(i).GetText() << '}';
    }
    if (!line.GetDescription().empty())
        out << " desc=" << line.GetDescription();
    if (!line.GetComment().empty()) {
        std::string comment = line.GetComment();
        for (char &c : comment)
            c = c == '\n' ? '|' : c;
        out << " rem=" << comment;
    }
    if (line.GetTarget()) {
        for (int i = 0; i < file.GetPageCount(); ++i) {
            if (file.GetPage(i) == line.GetTarget())
                out << " ->" << i;
        }
    }
    out << '\n';
}

} // namespace

std::string TestFiles::Describe(const DialogFile &file)
{
    std::ostringstream out;
    for (int p = 0; p < file.GetPageCount(); ++p) {
        const DialogLine &page = *file.GetPage(p);
        out << (page.IsSameSpeechForBoth() ? "page " : "page* ");
        DescribeLine(out, page, file);
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            out << "  opt ";
            DescribeLine(out, *page.GetOption(o), file);
        }
    }
    return out.str();
}

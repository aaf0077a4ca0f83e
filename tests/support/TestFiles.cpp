#include "TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

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

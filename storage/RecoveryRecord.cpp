#include "storage/RecoveryRecord.h"

#include <charconv>

namespace {

constexpr std::string_view kMagic = "Talkwright recovery 1\n";

// Reads the next header line, "key" followed by numbers; the text left
// over goes on past its line end.
class HeaderReader {
public:
    explicit HeaderReader(std::string_view text) : m_text(text) {}

    bool Key(std::string_view key)
    {
        if (!m_text.starts_with(key) || m_text.size() == key.size() || m_text[key.size()] != ' ')
            return false;
        m_text.remove_prefix(key.size() + 1);
        return true;
    }
    template <typename T>
    bool Number(T &value, char end)
    {
        const auto [next, error] = std::from_chars(m_text.data(), m_text.data() + m_text.size(), value);
        if (error != std::errc() || next == m_text.data() + m_text.size() || *next != end)
            return false;
        m_text.remove_prefix(static_cast<size_t>(next - m_text.data()) + 1);
        return true;
    }
    // size bytes, then the line end.
    bool Line(size_t size, std::string &value)
    {
        if (m_text.size() < size + 1 || m_text[size] != '\n')
            return false;
        value.assign(m_text.substr(0, size));
        m_text.remove_prefix(size + 1);
        return true;
    }
    // size bytes, or all there are of a file cut short; nothing may follow them.
    bool Last(size_t size, std::string &value)
    {
        if (m_text.size() > size)
            return false;
        value.assign(m_text);
        m_text = {};
        return true;
    }

private:
    std::string_view m_text;
};

} // namespace

std::string RecoveryRecord::Header() const
{
    std::string header(kMagic);
    header += "path " + std::to_string(path.size()) + "\n" + path + "\n";
    header += "untitled " + std::string(untitled ? "1" : "0") + "\n";
    header += "base " + std::string(base.exists ? "1 " : "0 ") + std::to_string(base.size) + " " + std::to_string(base.modified.tv_sec) + " "
        + std::to_string(base.modified.tv_nsec) + "\n";
    header += "written " + std::to_string(writtenAt) + "\n";
    header += "bytes " + std::to_string(bytes.size()) + "\n";
    return header;
}

bool RecoveryRecord::Parse(std::string_view text, RecoveryRecord &record)
{
    if (!text.starts_with(kMagic))
        return false;
    HeaderReader in(text.substr(kMagic.size()));
    RecoveryRecord read;
    size_t pathSize = 0;
    size_t byteCount = 0;
    int untitled = 0;
    int exists = 0;
    std::int64_t seconds = 0;
    long nanoseconds = 0;
    if (!(in.Key("path") && in.Number(pathSize, '\n') && in.Line(pathSize, read.path) && in.Key("untitled")
          && in.Number(untitled, '\n') && in.Key("base") && in.Number(exists, ' ') && in.Number(read.base.size, ' ')
          && in.Number(seconds, ' ') && in.Number(nanoseconds, '\n') && in.Key("written") && in.Number(read.writtenAt, '\n')
          && in.Key("bytes") && in.Number(byteCount, '\n') && in.Last(byteCount, read.bytes)))
        return false;
    if ((untitled != 0 && untitled != 1) || (exists != 0 && exists != 1) || nanoseconds < 0 || nanoseconds >= 1000000000)
        return false;
    read.untitled = untitled == 1;
    read.base.exists = exists == 1;
    read.base.modified.tv_sec = static_cast<time_t>(seconds);
    read.base.modified.tv_nsec = nanoseconds;
    read.missing = byteCount - read.bytes.size();
    record = std::move(read);
    return true;
}

bool RecoveryRecord::BaseChanged(const DiskStamp &now) const
{
    if (now.exists != base.exists)
        return true;
    return now.exists
        && (now.size != base.size || now.modified.tv_sec != base.modified.tv_sec || now.modified.tv_nsec != base.modified.tv_nsec);
}

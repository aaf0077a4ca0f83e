#pragma once

#include <charconv>
#include <string>
#include <string_view>

// Reads the text header of a file that Talkwright keeps (a recovery file,
// a kept copy), line by line: "key" followed by numbers, or counted bytes.
// The text left over goes on past what each call read.
class HeaderReader {
public:
    explicit HeaderReader(std::string_view text) : m_text(text) {}

    // "key " at the start of the text.
    bool Key(std::string_view key);
    // A number, then the character end.
    template <typename T>
    bool Number(T &value, char end)
    {
        const auto [next, error] = std::from_chars(m_text.data(), m_text.data() + m_text.size(), value);
        if (error != std::errc() || next == m_text.data() + m_text.size() || *next != end)
            return false;
        m_text.remove_prefix(static_cast<size_t>(next - m_text.data()) + 1);
        return true;
    }
    // size bytes, then the line end when one is asked for.
    bool Bytes(size_t size, std::string &value, bool lineEnd);
    // The last size bytes, or all there are of a file cut short; nothing
    // may follow them.
    bool Last(size_t size, std::string &value);
    bool AtEnd() const { return m_text.empty(); }

private:
    std::string_view m_text;
};

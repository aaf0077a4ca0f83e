#include "storage/HeaderReader.h"

bool HeaderReader::Key(std::string_view key)
{
    if (!m_text.starts_with(key) || m_text.size() == key.size() || m_text[key.size()] != ' ')
        return false;
    m_text.remove_prefix(key.size() + 1);
    return true;
}

bool HeaderReader::Bytes(size_t size, std::string &value, bool lineEnd)
{
    if (m_text.size() < size + (lineEnd ? 1 : 0) || (lineEnd && m_text[size] != '\n'))
        return false;
    value.assign(m_text.substr(0, size));
    m_text.remove_prefix(size + (lineEnd ? 1 : 0));
    return true;
}

bool HeaderReader::Last(size_t size, std::string &value)
{
    if (m_text.size() > size)
        return false;
    value.assign(m_text);
    m_text = {};
    return true;
}

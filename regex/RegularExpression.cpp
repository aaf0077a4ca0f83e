#include "regex/RegularExpression.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

struct RegularExpression::Code {
    pcre2_code *code;
};

struct RegularExpression::Matcher::Data {
    pcre2_match_data *match;
};

RegularExpression::RegularExpression(std::string_view pattern, bool caseInsensitive)
{
    int error = 0;
    PCRE2_SIZE at = 0;
    const uint32_t options = PCRE2_UTF | PCRE2_UCP | (caseInsensitive ? PCRE2_CASELESS : 0);
    pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &error, &at, nullptr);
    if (!code) {
        PCRE2_UCHAR message[256];
        if (pcre2_get_error_message(error, message, sizeof message) < 0)
            message[0] = 0;
        m_error = reinterpret_cast<const char *>(message);
        m_error += " (at offset " + std::to_string(at) + ")";
        return;
    }
    // Compiled to machine code where the platform allows; matching falls
    // back on the interpreter otherwise.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    m_groups = static_cast<int>(groups);
    m_code = new Code{code};
}

RegularExpression::~RegularExpression()
{
    if (m_code) {
        pcre2_code_free(m_code->code);
        delete m_code;
    }
}

RegularExpression::Matcher::Matcher(const RegularExpression &expression)
    : m_expression(expression)
    , m_data(std::make_unique<Data>(Data{expression.m_code ? pcre2_match_data_create_from_pattern(expression.m_code->code, nullptr) : nullptr}))
{
}

RegularExpression::Matcher::~Matcher()
{
    pcre2_match_data_free(m_data->match);
}

void RegularExpression::Matcher::ForEach(std::string_view text, const std::function<void(const Groups &)> &found)
{
    if (!m_data->match)
        return;
    pcre2_code *const code = m_expression.m_code->code;
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    const auto run = [&](size_t offset, uint32_t options) {
        int result = pcre2_match(code, subject, text.size(), offset, options, m_data->match, nullptr);
        // A pattern too deep for the machine code's stack runs interpreted.
        if (result == PCRE2_ERROR_JIT_STACKLIMIT)
            result = pcre2_match(code, subject, text.size(), offset, options | PCRE2_NO_JIT, m_data->match, nullptr);
        return result;
    };
    Groups groups(static_cast<size_t>(m_expression.m_groups) + 1);
    size_t offset = 0;
    uint32_t options = 0;
    while (offset <= text.size()) {
        const int result = run(offset, options);
        if (result == PCRE2_ERROR_NOMATCH && options != 0) {
            // The match before was empty and none other starts there: go
            // on one character further.
            if (offset == text.size())
                return;
            ++offset;
            while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
                ++offset;
            options = 0;
            continue;
        }
        if (result < 0)
            return;
        const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(m_data->match);
        if (ovector[0] > ovector[1])
            return; // \K in a lookahead: no way on
        for (size_t g = 0; g < groups.size(); ++g) {
            const bool set = g < static_cast<size_t>(result) && ovector[2 * g] != PCRE2_UNSET;
            groups[g] = set ? std::pair<size_t, size_t>(ovector[2 * g], ovector[2 * g + 1]) : std::pair<size_t, size_t>(std::string_view::npos, std::string_view::npos);
        }
        found(groups);
        options = ovector[0] == ovector[1] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
        offset = ovector[1];
    }
}

std::unique_ptr<PatternEngine::Scanner> RegularExpression::NewScanner() const
{
    return std::make_unique<Matcher>(*this);
}

namespace {

class Pcre2Engine : public PatternEngine {
public:
    std::unique_ptr<Pattern> Compile(std::string_view pattern, bool caseInsensitive) const override
    {
        return std::make_unique<RegularExpression>(pattern, caseInsensitive);
    }
};

} // namespace

const PatternEngine &RegularExpression::Engine()
{
    static const Pcre2Engine engine;
    return engine;
}

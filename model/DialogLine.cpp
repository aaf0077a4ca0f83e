#include "DialogLine.h"

#include "speech/GeneratedSpeechKind.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void AppendCommentLine(std::string &out, std::string_view prefix, std::string_view text)
{
    out += prefix;
    out += text;
    out += "\r\n";
}

// Request money keeps the page it leads to in its second value; the page's
// number may have changed since the code was read.
void RepointMoneyPage(SpeechText &code)
{
    if (code.kind == GeneratedSpeechKind::RequestMoney && code.g)
        code.n = code.g->GetNumber();
}

} // namespace

DialogLine::DialogLine()
{
    SetTargetNumber(0);
    DecodeSpeech(m_speech, {});
    DecodeSpeech(m_femaleSpeech, {});
    m_speech = {};
    m_femaleSpeech = {};
}

// The options go with the line, in order.
DialogLine::~DialogLine() = default;

bool DialogLine::Parse(std::string_view text)
{
    Fields fields;
    if (!FindFields(text, fields))
        return false;
    Parse(fields);
    return true;
}

bool DialogLine::FindFields(std::string_view text, Fields &fields)
{
    size_t from = 0;
    for (std::string_view &field : fields) {
        const size_t open = text.find('{', from);
        if (open == std::string_view::npos)
            return false;
        const size_t close = text.find('}', open + 1);
        if (close == std::string_view::npos)
            return false;
        field = text.substr(open + 1, close - open - 1);
        from = open + 1;
    }
    return true;
}

void DialogLine::Parse(const Fields &fields)
{
    for (size_t i = 0; i < fields.size(); ++i)
        m_fields[i].Parse(fields[i]);

    const std::string &female = m_fields[2].GetText();
    if (!female.empty() && !IsDigit(female.front())) {
        m_isNpcLine = true;
        m_sameSpeechForBoth = female == m_fields[1].GetText();
    } else {
        m_isNpcLine = false;
    }
    SetNumber(m_fields[0].GetInt());
    DecodeSpeech(m_speech, m_fields[1].GetText());
    if (m_isNpcLine)
        DecodeSpeech(m_femaleSpeech, female);
}

bool DialogLine::WriteTo(std::string &out)
{
    if (!m_description.empty())
        AppendCommentLine(out, "// [DESCRIPTION] ", m_description);
    std::string_view remarks = m_comment;
    while (!remarks.empty()) {
        const size_t lf = remarks.find('\n');
        const std::string_view remark = remarks.substr(0, lf);
        if (!remark.empty())
            AppendCommentLine(out, "// ", remark);
        remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
    }

    if (m_speech.kind != 0) {
        RepointMoneyPage(m_speech);
        SetSpeech(EncodeSpeech(m_speech));
    }
    if (m_femaleSpeech.kind != 0) {
        RepointMoneyPage(m_femaleSpeech);
        SetFemaleSpeech(EncodeSpeech(m_femaleSpeech));
    }

    out += '{';
    out += std::to_string(m_number);
    for (int i = 1; i < FieldCount; ++i) {
        out += "}{";
        if (i != 5)
            out += m_fields[static_cast<size_t>(i)].GetText();
        else if (m_target)
            out += std::to_string(m_target->GetNumber());
    }
    out += "}\r\n";
    ClearModified();
    return true;
}

void DialogLine::SetField(int index, std::string_view text)
{
    m_fields[static_cast<size_t>(index)].SetText(text);
    m_modified = true;
}

void DialogLine::SetLabel(std::string_view text)
{
    SetField(0, text);
}

void DialogLine::SetSpeech(std::string_view text)
{
    DecodeSpeech(m_speech, text);
    SetField(1, text);
}

void DialogLine::SetFemaleSpeech(std::string_view text)
{
    DecodeSpeech(m_femaleSpeech, text);
    SetField(2, text);
}

void DialogLine::SetIntelligenceCheck(std::string_view text)
{
    SetField(3, text);
}

void DialogLine::SetConditions(std::string_view text)
{
    SetField(4, text);
}

void DialogLine::SetTargetNumber(int n)
{
    SetField(5, std::to_string(n));
}

void DialogLine::SetResults(std::string_view text)
{
    SetField(6, text);
}

void DialogLine::SetTarget(DialogLine *page)
{
    m_target = page;
    m_modified = true;
}

void DialogLine::SetNumber(int n)
{
    m_number = n;
    m_modified = true;
}

void DialogLine::SetDescription(std::string_view text)
{
    m_description = text;
    m_modified = true;
}

void DialogLine::SetComment(std::string_view text)
{
    m_comment = text;
    m_modified = true;
}

void DialogLine::SetSameSpeechForBoth()
{
    m_sameSpeechForBoth = true;
    m_modified = true;
}

void DialogLine::ClearSameSpeechForBoth()
{
    m_sameSpeechForBoth = false;
    m_modified = true;
}

void DialogLine::SetSpeechPage(const DialogLine *page)
{
    m_speech.g = page;
    m_modified = true;
}

void DialogLine::SetFemaleSpeechPage(const DialogLine *page)
{
    m_femaleSpeech.g = page;
    m_modified = true;
}

void DialogLine::AddOption(std::unique_ptr<DialogLine> line)
{
    m_options.push_back(std::move(line));
}

void DialogLine::InsertOptionAt(int index, std::unique_ptr<DialogLine> line)
{
    m_options.insert(m_options.begin() + index, std::move(line));
}

std::unique_ptr<DialogLine> DialogLine::RemoveOptionAt(int index)
{
    const auto at = m_options.begin() + index;
    std::unique_ptr<DialogLine> option = std::move(*at);
    m_options.erase(at);
    m_modified = true;
    return option;
}

int DialogLine::IndexOfOption(const DialogLine *option) const
{
    for (size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i].get() == option)
            return static_cast<int>(i);
    }
    return -1;
}

DialogLine::Content DialogLine::GetContent() const
{
    return {m_fields, m_description, m_comment, m_speech, m_femaleSpeech, m_target, m_sameSpeechForBoth};
}

std::unique_ptr<DialogLine> DialogLine::Clone() const
{
    auto copy = std::make_unique<DialogLine>();
    copy->SetContent(GetContent());
    copy->m_isNpcLine = m_isNpcLine;
    copy->m_number = m_number;
    for (const auto &option : m_options)
        copy->AddOption(option->Clone());
    return copy;
}

void DialogLine::SetContent(const Content &content)
{
    m_fields = content.fields;
    m_description = content.description;
    m_comment = content.comment;
    m_speech = content.speech;
    m_femaleSpeech = content.femaleSpeech;
    m_target = content.target;
    m_sameSpeechForBoth = content.sameSpeechForBoth;
    m_modified = true;
}

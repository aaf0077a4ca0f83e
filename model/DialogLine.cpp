#include "model/DialogLine.h"

#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether field 2 makes a line a page: it is not empty and starts with no digit.
bool IsPageSpeech(std::string_view female)
{
    return !female.empty() && !IsDigit(female.front());
}

void AppendCommentLine(std::string &out, std::string_view prefix, std::string_view text)
{
    out += prefix;
    out += text;
    out += "\r\n";
}

void AppendNumber(std::string &out, int n)
{
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

// Request money keeps the page it leads to in its second value; the page's
// number may have changed since the code was read. A number that named no
// page is written as 0, the end of the dialog, so that it cannot come to
// name a page that renumbering gave it.
void RepointMoneyPage(SpeechText &code)
{
    if (code.kind == GeneratedSpeechKind::RequestMoney)
        code.n = code.g ? code.g->GetNumber() : 0;
}

// A field's text as a save writes it: a brace in it would mark a field of its
// own, moving the fields after it, and is written as a blank (a "{" is
// harmless only in field 6, after which no field follows).
void AppendField(std::string &out, std::string_view text, size_t index)
{
    const char *const braces = index == 6 ? "}" : "{}";
    for (size_t brace; (brace = text.find_first_of(braces)) != std::string_view::npos;) {
        out += text.substr(0, brace);
        out += ' ';
        text.remove_prefix(brace + 1);
    }
    out += text;
}

// The record of unique speech as read: nothing decoded into it.
const SpeechText kUniqueSpeech;

} // namespace

DialogLine::DialogLine()
    : m_texts(new Texts())
{
    SetTargetNumber(0);
}

DialogLine::DialogLine(std::string_view code, const Notes *notes)
    : m_code(code)
    , m_notes(notes)
{
}

DialogLine::DialogLine(std::string_view code, const Fields &fields, const Notes *notes, int fileLine)
    : DialogLine(code, notes)
{
    m_fileLine = fileLine;
    m_isNpcLine = IsPageSpeech(fields[2]);
    m_sameSpeechForBoth = !m_isNpcLine || fields[2] == fields[1];
    m_number = DialogField::ToInt(fields[0]);
    // Each field right after the one before it, two braces between, and the
    // text no more than the fields: no brace stands inside fields 0 to 5
    // (a "{" there would start the next field), and no "}" inside field 6.
    m_plainFields = fields[0].data() == code.data() + 1 && fields[6].data() + fields[6].size() + 1 == code.data() + code.size();
    for (size_t i = 1; m_plainFields && i < fields.size(); ++i)
        m_plainFields = fields[i].data() == fields[i - 1].data() + fields[i - 1].size() + 2;
}

// The options go with the line, in order, and the texts it owns.
DialogLine::~DialogLine()
{
    delete Owned();
    if (m_ownsCode)
        delete[] m_code.data();
}

void DialogLine::AdoptCode(std::string_view code)
{
    char *const copy = new char[code.size()];
    std::memcpy(copy, code.data(), code.size());
    if (m_ownsCode)
        delete[] m_code.data();
    m_code = std::string_view(copy, code.size());
    m_ownsCode = true;
}

DialogLine::Texts &DialogLine::Own() const
{
    Texts *owned = Owned();
    if (owned)
        return *owned;
    auto texts = std::make_unique<Texts>();
    const Fields fields = ViewFields();
    for (size_t i = 0; i < fields.size(); ++i)
        texts->fields[i].SetText(fields[i]);
    texts->description = ViewDescription();
    texts->comment = ViewComment();
    texts->speech = DecodeAsRead(fields, false);
    texts->femaleSpeech = DecodeAsRead(fields, true);
    // Another thread may have made its copy meanwhile: the first one stays.
    if (m_texts.compare_exchange_strong(owned, texts.get(), std::memory_order_acq_rel, std::memory_order_acquire))
        return *texts.release();
    return *owned;
}

void DialogLine::OwnAll()
{
    Own();
    for (int i = 0; i < GetOptionCount(); ++i)
        GetOption(i)->Own();
}

void DialogLine::FitOptions()
{
    if (m_options)
        m_options->shrink_to_fit();
}

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
    // Field k starts after the k-th "{" and ends at the first "}" after that
    // "{": one "}" may end several fields. One pass finds them all.
    std::array<size_t, FieldCount> starts{};
    size_t opened = 0;
    size_t closed = 0;
    // Takes the brace at i; true once the seventh field is closed.
    const auto brace = [&](size_t i) {
        if (text[i] == '}') {
            for (; closed < opened; ++closed)
                fields[closed] = text.substr(starts[closed], i - starts[closed]);
            return closed == FieldCount;
        }
        if (opened < FieldCount)
            starts[opened++] = i + 1;
        return false;
    };
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: a byte of a word is nonzero when adding 0x7F
        // to its low seven bits, or the byte itself, sets its high bit.
        constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7FULL;
        constexpr uint64_t kHigh = ~kLow;
        const auto nonzero = [](uint64_t word) { return (((word & kLow) + kLow) | word) & kHigh; };
        for (; i + 8 <= text.size(); i += 8) {
            uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            uint64_t braces = ~(nonzero(word ^ 0x7B7B7B7B7B7B7B7BULL) & nonzero(word ^ 0x7D7D7D7D7D7D7D7DULL)) & kHigh;
            for (; braces != 0; braces &= braces - 1) {
                if (brace(i + static_cast<size_t>(std::countr_zero(braces)) / 8))
                    return true;
            }
        }
    }
    for (; i < text.size(); ++i) {
        if ((text[i] == '{' || text[i] == '}') && brace(i))
            return true;
    }
    return false;
}

void DialogLine::Parse(const Fields &fields)
{
    Texts &texts = Own();
    for (size_t i = 0; i < fields.size(); ++i)
        texts.fields[i].Parse(fields[i]);

    const std::string &female = texts.fields[2].GetText();
    m_isNpcLine = IsPageSpeech(female);
    if (m_isNpcLine)
        m_sameSpeechForBoth = female == texts.fields[1].GetText();
    SetNumber(texts.fields[0].GetInt());
    DecodeSpeech(texts.speech, texts.fields[1].GetText());
    if (m_isNpcLine)
        DecodeSpeech(texts.femaleSpeech, female);
}

DialogLine::Fields DialogLine::ViewFields() const
{
    Fields fields;
    if (const Texts *texts = Owned()) {
        for (size_t i = 0; i < fields.size(); ++i)
            fields[i] = texts->fields[i].GetText();
        return fields;
    }
    FindFields(m_code, fields);
    if (m_notes && !m_notes->label.empty())
        fields[0] = m_notes->label;
    return fields;
}

// In the text of a line as read that is its seven fields and nothing else,
// fields 0 to 5 hold no brace and field 6 no "}": field 0 ends at the first
// "}", field 5 at the last but one, field 4 at the "}" before field 5's "{".
namespace {

// Where field 0 of a plain line closes.
size_t ZeroEnd(std::string_view code)
{
    size_t i = 1;
    while (code[i] != '}')
        ++i;
    return i;
}

// Where the field of a plain line opens (after its "{") and closes (at its
// "}"), for field 4 or 5.
std::pair<size_t, size_t> PlainField(std::string_view code, int field)
{
    size_t close = code.size() - 2;
    while (code[close] != '}')
        --close;
    size_t open = close;
    for (int k = 5; k >= field; --k) {
        if (k < 5)
            close = open - 2;
        open = close;
        while (code[open - 1] != '{')
            --open;
    }
    return {open, close};
}

// Whether a plain line's field 1, or a page's field 2, holds a Request money
// code; zeroEnd is where field 0 closes.
bool RequestsMoney(std::string_view code, size_t zeroEnd, bool page)
{
    const auto money = [&code](size_t at) { return at + 1 < code.size() && code[at] == 'M' && code[at + 1] == ':'; };
    if (money(zeroEnd + 2))
        return true;
    if (!page)
        return false;
    const size_t oneEnd = code.find('}', zeroEnd + 2);
    return money(oneEnd + 2);
}

} // namespace

bool DialogLine::SameBytesAsRead(const DialogLine &other, int except) const
{
    if (Owned() || other.Owned() || !m_plainFields || !other.m_plainFields || m_isNpcLine != other.m_isNpcLine)
        return false;
    // Each line as what lies between field 0 and the field left out (its
    // "{" included), and what follows that field (its "}" included).
    // A Request money code that leads to a page made its line own its texts
    // when it was read: a line as read leads nowhere by its speech.
    const std::string_view a = m_code;
    const std::string_view b = other.m_code;
    const size_t zeroA = ZeroEnd(a);
    const size_t zeroB = ZeroEnd(b);
    if (except < 0)
        return a.substr(zeroA) == b.substr(zeroB);
    const auto [openA, closeA] = PlainField(a, except);
    const auto [openB, closeB] = PlainField(b, except);
    return a.substr(closeA) == b.substr(closeB) && a.substr(zeroA, openA - zeroA) == b.substr(zeroB, openB - zeroB);
}

std::optional<std::string_view> DialogLine::ViewPlainJump() const
{
    if (Owned() || !m_plainFields || RequestsMoney(m_code, ZeroEnd(m_code), m_isNpcLine))
        return std::nullopt;
    const auto [open, close] = PlainField(m_code, 5);
    return m_code.substr(open, close - open);
}

std::string_view DialogLine::ViewField(int index) const
{
    if (const Texts *texts = Owned())
        return texts->fields[static_cast<size_t>(index)].GetText();
    return ViewFields()[static_cast<size_t>(index)];
}

std::string_view DialogLine::ViewLabel() const
{
    if (const Texts *texts = Owned())
        return texts->fields[0].GetText();
    if (m_notes && !m_notes->label.empty())
        return m_notes->label;
    return ViewFields()[0];
}

std::string_view DialogLine::ViewDescription() const
{
    if (const Texts *texts = Owned())
        return texts->description;
    return m_notes ? m_notes->description : std::string_view();
}

std::string_view DialogLine::ViewComment() const
{
    if (const Texts *texts = Owned())
        return texts->comment;
    return m_notes ? m_notes->comment : std::string_view();
}

SpeechText DialogLine::DecodeAsRead(const Fields &fields, bool female) const
{
    // An option's field 2 is its gender check, never decoded.
    SpeechText code;
    if (!female || m_isNpcLine)
        DecodeSpeech(code, fields[female ? 2 : 1]);
    return code;
}

SpeechText DialogLine::CopySpeechCode() const
{
    const Texts *texts = Owned();
    return texts ? texts->speech : DecodeAsRead(ViewFields(), false);
}

SpeechText DialogLine::CopyFemaleSpeechCode() const
{
    const Texts *texts = Owned();
    return texts ? texts->femaleSpeech : DecodeAsRead(ViewFields(), true);
}

const SpeechText &DialogLine::GetSpeechCode() const
{
    if (!Owned() && CopySpeechCode().kind == 0)
        return kUniqueSpeech;
    return Own().speech;
}

const SpeechText &DialogLine::GetFemaleSpeechCode() const
{
    if (!Owned() && CopyFemaleSpeechCode().kind == 0)
        return kUniqueSpeech;
    return Own().femaleSpeech;
}

bool DialogLine::Recode(const Fields &fields)
{
    if (Texts *texts = Owned()) {
        const bool male = texts->speech.kind != 0;
        if (male) {
            RepointMoneyPage(texts->speech);
            SetSpeech(EncodeSpeech(texts->speech));
        }
        const bool female = texts->femaleSpeech.kind != 0;
        if (female) {
            RepointMoneyPage(texts->femaleSpeech);
            SetFemaleSpeech(EncodeSpeech(texts->femaleSpeech));
        }
        return male || female;
    }
    // As read, a code leads to no page, and decoding its canonical form
    // again gives the same record: only a code not yet canonical changes.
    bool changed = false;
    for (const bool female : {false, true}) {
        SpeechText code = DecodeAsRead(fields, female);
        if (code.kind == 0)
            continue;
        RepointMoneyPage(code);
        if (const std::string canonical = EncodeSpeech(code); canonical != fields[female ? 2 : 1]) {
            if (female)
                SetFemaleSpeech(canonical);
            else
                SetSpeech(canonical);
            changed = true;
        }
    }
    return changed;
}

bool DialogLine::WriteTo(std::string &out)
{
    WriteLine(out, nullptr);
    return true;
}

void DialogLine::WriteLine(std::string &out, const Fields *fields)
{
    if (const std::string_view description = ViewDescription(); !description.empty())
        AppendCommentLine(out, "// [DESCRIPTION] ", description);
    // Each remark line, an empty one (a bare "//") too, goes back on a line of its own.
    std::string_view remarks = ViewComment();
    while (!remarks.empty()) {
        const size_t lf = remarks.find('\n');
        const std::string_view remark = remarks.substr(0, lf);
        AppendCommentLine(out, remark.empty() ? "//" : "// ", remark);
        remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
    }

    // An option as read, its text its fields alone and its speech no
    // generated code, goes out as its bytes with its numbers put in.
    if (!Owned() && m_plainFields && !m_isNpcLine) {
        const size_t zeroEnd = ZeroEnd(m_code);
        if (m_code[zeroEnd + 3] != ':') { // field 1 is no code: its second character is no colon
            const auto [fiveOpen, fiveEnd] = PlainField(m_code, 5);
            out += '{';
            AppendNumber(out, m_number);
            out += m_code.substr(zeroEnd, fiveOpen - zeroEnd);
            if (m_target)
                AppendNumber(out, m_target->GetNumber());
            out += m_code.substr(fiveEnd);
            out += "\r\n";
            ClearModified();
            return;
        }
    }

    Fields found = fields ? *fields : ViewFields();
    if (Recode(found))
        found = ViewFields();
    out += '{';
    AppendNumber(out, m_number);
    for (size_t i = 1; i < found.size(); ++i) {
        out += "}{";
        if (i != 5)
            AppendField(out, found[i], i);
        else if (m_target)
            AppendNumber(out, m_target->GetNumber());
    }
    out += "}\r\n";
    ClearModified();
}

void DialogLine::SetField(int index, std::string_view text)
{
    Own().fields[static_cast<size_t>(index)].SetText(text);
    m_modified = true;
}

void DialogLine::SetLabel(std::string_view text)
{
    SetField(0, text);
}

void DialogLine::SetSpeech(std::string_view text)
{
    DecodeSpeech(Own().speech, text);
    SetField(1, text);
}

void DialogLine::SetFemaleSpeech(std::string_view text)
{
    DecodeSpeech(Own().femaleSpeech, text);
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

void DialogLine::SetConditionsInPlace(std::string_view text)
{
    Fields fields;
    if (Owned() || !FindFields(m_code, fields)
        || std::any_of(fields.begin(), fields.end(), [](std::string_view field) { return field.find_first_of("{}") != std::string_view::npos; })) {
        SetConditions(text);
        return;
    }
    fields[4] = text;
    size_t size = 2 * fields.size();
    for (const std::string_view field : fields)
        size += field.size();
    char *const code = new char[size];
    char *at = code;
    for (const std::string_view field : fields) {
        *at++ = '{';
        at = std::copy(field.begin(), field.end(), at);
        *at++ = '}';
    }
    if (m_ownsCode)
        delete[] m_code.data();
    m_code = std::string_view(code, size);
    m_ownsCode = true;
    m_plainFields = true;
    m_modified = true;
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
    Own().description = text;
    m_modified = true;
}

void DialogLine::SetComment(std::string_view text)
{
    Own().comment = text;
    m_modified = true;
}

int DialogLine::CountCommentLines() const
{
    int lines = ViewDescription().empty() ? 0 : 1;
    for (std::string_view remarks = ViewComment(); !remarks.empty(); ++lines) {
        const size_t lf = remarks.find('\n');
        remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
    }
    return lines;
}

int DialogLine::GetRemarkLine(int index) const
{
    if (index < 0)
        return 0;
    if (m_savedLayout) {
        // Saved, the remarks stand right above the line, one on each line.
        if (m_modified)
            return 0;
        const int remarks = CountCommentLines() - (ViewDescription().empty() ? 0 : 1);
        return index < remarks ? m_fileLine - (remarks - index) : 0;
    }
    if (!m_notes || !m_notes->remarkLines)
        return 0;
    if (const Texts *texts = Owned(); texts && texts->comment != m_notes->comment)
        return 0;
    const auto lines = std::count(m_notes->comment.begin(), m_notes->comment.end(), '\n');
    return index < lines ? m_notes->remarkLines[index] : 0;
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
    Own().speech.g = page;
    m_modified = true;
}

void DialogLine::SetFemaleSpeechPage(const DialogLine *page)
{
    Own().femaleSpeech.g = page;
    m_modified = true;
}

void DialogLine::AddOption(std::unique_ptr<DialogLine> line)
{
    InsertOptionAt(GetOptionCount(), std::move(line));
}

void DialogLine::InsertOptionAt(int index, std::unique_ptr<DialogLine> line)
{
    if (!m_options)
        m_options = std::make_unique<std::vector<std::unique_ptr<DialogLine>>>();
    m_options->insert(m_options->begin() + index, std::move(line));
}

std::unique_ptr<DialogLine> DialogLine::RemoveOptionAt(int index)
{
    const auto at = m_options->begin() + index;
    std::unique_ptr<DialogLine> option = std::move(*at);
    m_options->erase(at);
    option->OwnAll();
    m_modified = true;
    return option;
}

int DialogLine::IndexOfOption(const DialogLine *option) const
{
    for (int i = 0; i < GetOptionCount(); ++i) {
        if (GetOption(i) == option)
            return i;
    }
    return -1;
}

DialogLine::Content DialogLine::GetContent() const
{
    Content content;
    const Fields fields = ViewFields();
    for (size_t i = 0; i < fields.size(); ++i)
        content.fields[i].SetText(fields[i]);
    content.description = ViewDescription();
    content.comment = ViewComment();
    content.speech = CopySpeechCode();
    content.femaleSpeech = CopyFemaleSpeechCode();
    content.target = m_target;
    content.sameSpeechForBoth = m_sameSpeechForBoth;
    return content;
}

std::unique_ptr<DialogLine> DialogLine::Clone() const
{
    auto copy = std::make_unique<DialogLine>();
    copy->SetContent(GetContent());
    copy->m_isNpcLine = m_isNpcLine;
    copy->m_number = m_number;
    for (int i = 0; i < GetOptionCount(); ++i)
        copy->AddOption(GetOption(i)->Clone());
    return copy;
}

std::unique_ptr<DialogLine> DialogLine::CloneSharing() const
{
    std::unique_ptr<DialogLine> copy;
    if (Owned()) {
        copy = std::make_unique<DialogLine>();
        copy->SetContent(GetContent());
    } else {
        copy.reset(new DialogLine(m_code, m_notes));
        if (m_ownsCode)
            copy->AdoptCode(m_code);
        copy->m_target = m_target;
        copy->m_sameSpeechForBoth = m_sameSpeechForBoth;
        copy->m_plainFields = m_plainFields;
    }
    copy->m_number = m_number;
    copy->m_fileLine = m_fileLine;
    copy->m_savedLayout = m_savedLayout;
    copy->m_modified = m_modified;
    copy->m_isNpcLine = m_isNpcLine;
    if (m_options) {
        copy->m_options = std::make_unique<std::vector<std::unique_ptr<DialogLine>>>();
        copy->m_options->reserve(m_options->size());
        for (const auto &option : *m_options)
            copy->m_options->push_back(option->CloneSharing());
    }
    return copy;
}

void DialogLine::SetContent(const Content &content)
{
    if (!Owned())
        m_texts.store(new Texts(), std::memory_order_release);
    Texts &texts = *Owned();
    texts.fields = content.fields;
    texts.description = content.description;
    texts.comment = content.comment;
    texts.speech = content.speech;
    texts.femaleSpeech = content.femaleSpeech;
    m_target = content.target;
    m_sameSpeechForBoth = content.sameSpeechForBoth;
    m_modified = true;
}

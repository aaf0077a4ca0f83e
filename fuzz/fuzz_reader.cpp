// Fuzz target: any bytes through the reader, the checks of dlgtool check
// and the writer, and through the JSON that dump and check print, with the
// bytes as the file's name too. Nothing may crash, hang or touch memory it
// should not; every JSON text must be strict UTF-8 and every finding must
// print on one line.
#include "cli/CheckCommand.h"
#include "cli/DumpCommand.h"
#include "rules/Linter.h"
#include "model/DialogFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Decodes every character, refusing overlong forms, surrogates and code
// points past U+10FFFF; raw control characters cannot stand in JSON text.
bool IsStrictUtf8Json(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >> 5 == 0x6 ? 2 : lead >> 4 == 0xE ? 3 : lead >> 3 == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next >> 6 != 0x2)
                return false;
            c = c << 6 | (next & 0x3F);
        }
        static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kShortest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF || c < 0x20)
            return false;
        i += length;
    }
    return true;
}

void Require(bool holds, const char *what, const std::string &text)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s:\n%s\n", what, text.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    // A name may hold any byte but "/" and NUL; the first bytes stand in for one.
    std::string name(bytes.substr(0, 64));
    for (char &c : name)
        c = c == '\0' ? '_' : c;

    DialogFile file;
    if (!file.ReadText(bytes))
        return 0;
    std::vector<Finding> findings = Linter::CheckDocument(file, name);
    for (const Finding &finding : findings)
        Require(finding.ToText().find('\n') == std::string::npos, "a finding on more than one line", finding.ToText());
    const std::string report = CheckCommand::JsonReport(findings, 1);
    Require(IsStrictUtf8Json(report), "check's JSON is not strict UTF-8", report);
    const std::string dump = DumpCommand::ToJson(file, name);
    Require(IsStrictUtf8Json(dump), "dump's JSON is not strict UTF-8", dump);
    file.WriteText();
    return 0;
}

#include "po/PoFile.h"

#include <gettext-po.h>

#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <mutex>
#include <strings.h>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// The library never frees a message's context, nor the string lists of
// its reader's grammar: the leak checker is told that these are its own.
#if defined(__SANITIZE_ADDRESS__)
using LibraryLeaks = __lsan::ScopedDisabler;
#else
struct LibraryLeaks {
};
#endif

constexpr size_t kNoPlace = static_cast<size_t>(-1);

// What the library reports during one call: its handlers take no data of
// their own, so they find the call in progress here.
struct Report {
    bool failed = false;
    PoFile::Problem first;
    std::jmp_buf *fatal = nullptr; // where a fatal error goes, since its handler must not return
    // Asking for a message's place: only the line of the first error counts.
    bool probing = false;
    size_t probedLine = 0;
};

std::mutex g_library;
Report *g_report = nullptr;

void Note(int severity, const char *file, size_t line, size_t column, const char *text)
{
    Report &report = *g_report;
    const bool placed = file != nullptr && line != kNoPlace;
    if (report.probing) {
        if (severity != PO_SEVERITY_WARNING && placed && report.probedLine == 0)
            report.probedLine = line;
    } else if (severity != PO_SEVERITY_WARNING && !report.failed) {
        report.failed = true;
        report.first.line = placed ? line : 0;
        report.first.column = placed && column != kNoPlace ? column : 0;
        report.first.message = text ? text : "";
        while (!report.first.message.empty() && report.first.message.back() == '\n')
            report.first.message.pop_back();
    }
    if (severity == PO_SEVERITY_FATAL_ERROR)
        std::longjmp(*report.fatal, 1);
}

void OnProblem(int severity, po_message_t, const char *file, size_t line, size_t column, int, const char *text)
{
    Note(severity, file, line, column, text);
}

// A problem of two messages: the first says what is wrong.
void OnProblemOfTwo(int severity, po_message_t, const char *file, size_t line, size_t column, int, const char *text, po_message_t,
                    const char *, size_t, size_t, int, const char *)
{
    Note(severity, file, line, column, text);
}

const po_xerror_handler kHandler = {OnProblem, OnProblemOfTwo};

// Runs work(data), which calls the library, with its reports going to
// report; false when it reported a fatal error. Nothing between here and
// the library's handler may need destroying, as a fatal error jumps over it.
bool Run(Report &report, void (*work)(void *), void *data)
{
    [[maybe_unused]] const LibraryLeaks leaks;
    std::jmp_buf fatal;
    report.fatal = &fatal;
    g_report = &report;
    if (setjmp(fatal) != 0)
        return false;
    work(data);
    return true;
}

// A file in memory that the library opens by name: it reads and writes
// only named files.
class MemoryFile {
public:
    MemoryFile()
        : m_fd(memfd_create("po", MFD_CLOEXEC))
    {
    }
    ~MemoryFile()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

    bool Fill(std::string_view bytes) const
    {
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t put = pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (put < 0 && errno != EINTR)
                return false;
            done += put > 0 ? static_cast<size_t>(put) : 0;
        }
        return true;
    }

    bool Take(std::string &bytes) const
    {
        bytes.clear();
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = pread(m_fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            bytes.append(buffer, static_cast<size_t>(got));
        }
    }

private:
    int m_fd;
};

struct Reading {
    const char *path;
    po_file_t file = nullptr;
};

void ReadWork(void *data)
{
    auto *reading = static_cast<Reading *>(data);
    reading->file = po_file_read(reading->path, &kHandler);
}

struct Writing {
    po_file_t file;
    const char *path;
};

void WriteWork(void *data)
{
    auto *writing = static_cast<Writing *>(data);
    po_file_write(writing->file, writing->path, &kHandler);
}

struct Probe {
    po_message_t message;
    po_message_iterator_t iterator;
};

void ProbeWork(void *data)
{
    auto *probe = static_cast<Probe *>(data);
    po_message_check_all(probe->message, probe->iterator, &kHandler);
}

struct FileCloser {
    void operator()(po_file *file) const { po_file_free(file); }
};
using FileHandle = std::unique_ptr<po_file, FileCloser>;

// The line of the PO file where a message's translation stands. The
// library keeps it but gives it only in its reports on the message, so
// the message is made, for a moment, one that its check reports on: a
// msgid that starts with a line break where the msgstr does not.
size_t LineOf(po_message_t message, po_message_iterator_t iterator)
{
    if (po_message_msgid_plural(message))
        return 0;
    const std::string msgid = po_message_msgid(message);
    const std::string msgstr = po_message_msgstr(message);
    const int fuzzy = po_message_is_fuzzy(message);
    po_message_set_fuzzy(message, 0); // fuzzy messages are not checked
    po_message_set_msgid(message, "\n");
    po_message_set_msgstr(message, "x");
    Report report;
    report.probing = true;
    Probe probe{message, iterator};
    Run(report, ProbeWork, &probe);
    po_message_set_msgid(message, msgid.c_str());
    po_message_set_msgstr(message, msgstr.c_str());
    po_message_set_fuzzy(message, fuzzy);
    return report.probedLine;
}

// The charset that the header names; empty when it names none.
std::string CharsetOf(po_file_t file)
{
    const char *header = po_file_domain_header(file, nullptr);
    if (!header)
        return {};
    char *contentType = po_header_field(header, "Content-Type");
    std::free(const_cast<char *>(header));
    if (!contentType)
        return {};
    const std::string type = contentType;
    std::free(contentType);
    const size_t at = type.find("charset=");
    if (at == std::string::npos)
        return {};
    const size_t start = at + 8;
    return type.substr(start, type.find_first_of(" \t;", start) - start);
}

bool IsUtf8Compatible(const std::string &charset)
{
    for (const char *name : {"UTF-8", "UTF8", "ASCII", "US-ASCII", "ANSI_X3.4-1968", "CHARSET"}) {
        if (strcasecmp(charset.c_str(), name) == 0)
            return true;
    }
    return charset.empty();
}

// Converts text to UTF-8 through cd; false when it is not in cd's charset.
bool ToUtf8(iconv_t cd, const char *text, std::string &out)
{
    out.clear();
    char *in = const_cast<char *>(text);
    size_t inLeft = std::strlen(text);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    for (;;) {
        char *put = buffer;
        size_t putLeft = sizeof buffer;
        const size_t done = inLeft > 0 ? iconv(cd, &in, &inLeft, &put, &putLeft) : iconv(cd, nullptr, nullptr, &put, &putLeft);
        out.append(buffer, static_cast<size_t>(put - buffer));
        if (done == static_cast<size_t>(-1) && errno != E2BIG)
            return false;
        if (done != static_cast<size_t>(-1) && inLeft == 0 && put == buffer)
            return true;
    }
}

std::string TextOf(const char *text)
{
    return text ? text : "";
}

} // namespace

bool PoFile::Write(const std::vector<TranslationEntry> &entries, std::string &text, std::string &error)
{
    const std::lock_guard lock(g_library);
    [[maybe_unused]] const LibraryLeaks leaks;
    const FileHandle file(po_file_create());
    po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
    for (const TranslationEntry &entry : entries) {
        po_message_t message = po_message_create();
        if (!entry.context.empty())
            po_message_set_msgctxt(message, entry.context.c_str());
        po_message_set_msgid(message, entry.source.c_str());
        po_message_set_msgstr(message, entry.translation.c_str());
        po_message_set_fuzzy(message, entry.fuzzy);
        std::string comments;
        for (const std::string &comment : entry.comments)
            (comments += comment) += '\n';
        po_message_set_extracted_comments(message, comments.c_str());
        for (const TranslationEntry::Place &place : entry.places)
            po_message_add_filepos(message, place.file.c_str(), place.line > 0 ? static_cast<size_t>(place.line) : kNoPlace);
        po_message_insert(iterator, message);
    }
    po_message_iterator_free(iterator);

    const MemoryFile memory;
    if (!memory.IsOpen()) {
        error = std::strerror(errno);
        return false;
    }
    const std::string path = memory.Path();
    Report report;
    Writing writing{file.get(), path.c_str()};
    const bool ran = Run(report, WriteWork, &writing);
    if (!ran || report.failed) {
        error = report.first.message;
        return false;
    }
    if (!memory.Take(text)) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool PoFile::Read(std::string_view bytes, std::vector<TranslationEntry> &entries, Problem &problem)
{
    const std::lock_guard lock(g_library);
    const MemoryFile memory;
    if (!memory.IsOpen() || !memory.Fill(bytes)) {
        problem = {0, 0, std::strerror(errno)};
        return false;
    }
    const std::string path = memory.Path();
    Report report;
    Reading reading{path.c_str()};
    const bool ran = Run(report, ReadWork, &reading);
    const FileHandle file(reading.file);
    if (!ran || report.failed || !file) {
        problem = report.failed ? report.first : Problem{0, 0, std::strerror(errno)};
        return false;
    }

    const std::string charset = CharsetOf(file.get());
    iconv_t cd = IsUtf8Compatible(charset) ? reinterpret_cast<iconv_t>(-1) : iconv_open("UTF-8", charset.c_str());
    if (!IsUtf8Compatible(charset) && cd == reinterpret_cast<iconv_t>(-1)) {
        problem = {0, 0, "the header names the charset " + charset + ", which this system cannot convert"};
        return false;
    }
    const auto text = [cd](const char *in, std::string &out) { return cd == reinterpret_cast<iconv_t>(-1) ? (out = TextOf(in), true) : ToUtf8(cd, TextOf(in).c_str(), out); };

    entries.clear();
    po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
    bool converted = true;
    while (po_message_t message = po_next_message(iterator)) {
        if (po_message_is_obsolete(message))
            continue;
        TranslationEntry entry;
        // First, as finding the line sets the message's texts anew.
        entry.poLine = static_cast<int>(LineOf(message, iterator));
        const char *msgstr = po_message_msgid_plural(message) ? po_message_msgstr_plural(message, 0) : po_message_msgstr(message);
        entry.fuzzy = po_message_is_fuzzy(message);
        for (int i = 0; po_filepos_t place = po_message_filepos(message, i); ++i) {
            const size_t line = po_filepos_start_line(place);
            entry.places.push_back({TextOf(po_filepos_file(place)), line == kNoPlace ? 0 : static_cast<int>(line)});
        }
        if (!text(po_message_msgctxt(message), entry.context) || !text(po_message_msgid(message), entry.source) || !text(msgstr, entry.translation)) {
            problem = {static_cast<size_t>(entry.poLine), 0, "a text is not in the charset that the header names, " + charset};
            converted = false;
            break;
        }
        entries.push_back(std::move(entry));
    }
    po_message_iterator_free(iterator);
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    return converted;
}

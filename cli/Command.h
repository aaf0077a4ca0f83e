#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class DialogFile;

// One subcommand of dlgtool. Exit statuses: 0 success, 1 a file could not
// be read or written, 2 a usage error.
class Command {
public:
    enum Status { Success = 0, Failure = 1, UsageError = 2 };

    virtual ~Command() = default;
    virtual std::string_view Name() const = 0;
    virtual std::string_view Usage() const = 0;
    virtual int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) = 0;
    // When memory ran out (std::bad_alloc left Execute): says so, naming
    // the file the command worked on, and returns Failure.
    int ReportOutOfMemory(std::FILE *err) const;

protected:
    // Names the file that the command works on from here on.
    void WorkOn(std::string_view file) { m_file = file; }
    int ReportUsage(std::FILE *err) const;
    // "1 file", "2 files".
    static std::string Counted(size_t n, const char *what);
    // One line that names the file and the reason.
    static int ReportFailure(std::FILE *err, std::string_view verb, std::string_view file, std::string_view reason);
    // Flushes out and returns status when everything printed on it reached
    // it; otherwise reports why on err and returns Failure.
    static int FinishOutput(std::FILE *out, std::FILE *err, int status);
    // Puts text in output, replaced as a whole, or on out for "-".
    static int WriteOutput(std::string_view text, const std::string &output, std::FILE *out, std::FILE *err);
    // Writes file, read from input, as the editor's Save would, to output
    // as WriteOutput does; names first on err what the save drops.
    static int SaveDocument(DialogFile &file, std::string_view input, const std::string &output, std::FILE *out, std::FILE *err);

private:
    std::string m_file; // empty while none
};

#pragma once

#include <string>
#include <string_view>

// A scratch folder for one test, removed with everything in it afterwards,
// and small helpers for the bytes of files.
class TestFiles {
public:
    TestFiles();
    ~TestFiles();
    TestFiles(const TestFiles &) = delete;
    TestFiles &operator=(const TestFiles &) = delete;

    const std::string &Dir() const { return m_dir; }
    std::string Path(std::string_view name) const;
    // Writes bytes to name in the folder and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;
    // How many entries the folder holds (to see that no temporary file stays).
    int EntryCount() const;

    static std::string ReadBytes(const std::string &path);
    // The text with every LF made CR LF, as the writer ends lines.
    static std::string Crlf(std::string_view lf);

private:
    std::string m_dir;
};

// examples/worked-example.dlg as the writer writes it.
inline const std::string kWorkedExample = TestFiles::Crlf("// [LABEL] Start\n"
                                                          "// [DESCRIPTION] First meeting\n"
                                                          "{1}{Hello.}{Hello.}{}{1}{}{}\n"
                                                          "{2}{Who are you?}{1}{5}{}{21}{}\n"
                                                          "{3}{E:}{}{1}{}{}{}\n"
                                                          "\n"
                                                          "// [LABEL] Farewell\n"
                                                          "{21}{Bye.}{Bye.}{}{2}{}{}\n"
                                                          "\n");

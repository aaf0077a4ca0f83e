#pragma once

#include <string>
#include <string_view>

class DialogFile;

// A scratch folder for one test, removed with everything in it afterwards,
// and small helpers for the bytes of files and the shape of documents.
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
    // A one-line-per-line picture of a document: every member a reader or
    // writer must keep, with targets shown as page indexes.
    static std::string Describe(const DialogFile &file);

private:
    std::string m_dir;
};

#include "storage/DialogFiles.h"

#include "model/DialogFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStandardInput = "-";
constexpr const char *kNotEnoughMemory = "not enough memory";

// Why a link to a folder, found in folder dir, is not followed.
std::string LinkReason(const fs::path &dir, const fs::path &link)
{
    std::error_code error;
    const std::string target = fs::canonical(link, error).string();
    const std::string here = fs::canonical(dir, error).string();
    if (!error && (here == target || here.starts_with(target + "/")))
        return "a symbolic link to a folder above it, which is not followed";
    return "a symbolic link to a folder, which is not followed";
}

// Why a name is not a file to read: the system's reason for a link that
// leads nowhere or in a circle.
std::string NotAFile(const fs::path &path)
{
    struct stat st {};
    return stat(path.c_str(), &st) != 0 ? std::strerror(errno) : "it is not a regular file";
}

// Adds the .dlg files below folder to files, depth first; a folder that
// cannot be listed is kept with the reason, and the rest carries on.
void CollectFolder(const fs::path &folder, std::vector<std::string> &files, std::map<std::string, std::string> &unreadable,
                   std::map<std::string, std::string> *skipped)
{
    std::vector<fs::path> pending{folder};
    while (!pending.empty()) {
        const fs::path dir = std::move(pending.back());
        pending.pop_back();
        std::error_code error;
        fs::directory_iterator it(dir, error);
        for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
            std::error_code ignored;
            // Links to folders are not followed, so no loop can form.
            if (it->is_directory(ignored)) {
                if (!it->is_symlink(ignored))
                    pending.push_back(it->path());
                else if (skipped)
                    skipped->emplace(it->path().string(), LinkReason(dir, it->path()));
                continue;
            }
            if (!DialogFiles::IsDialogFileName(it->path().string()))
                continue;
            if (it->is_regular_file(ignored))
                files.push_back(it->path().string());
            else if (skipped)
                skipped->emplace(it->path().string(), NotAFile(it->path()));
        }
        if (error)
            unreadable.emplace(dir.string(), error.message());
    }
}

bool ReadBytes(const std::string &path, std::string &bytes, std::string &error)
{
    if (path == kStandardInput)
        return DialogFile::ReadStreamBytes(STDIN_FILENO, bytes, error);
    return DialogFile::ReadFileBytes(path, bytes, error);
}

// Builds the document from bytes; a document too large for memory is said, not thrown.
bool ReadDocument(DialogFile &file, std::string_view bytes, std::string &error)
{
    try {
        if (file.ReadText(bytes))
            return true;
        error = file.GetErrorText();
    } catch (const std::bad_alloc &) {
        error = kNotEnoughMemory;
    }
    return false;
}

} // namespace

bool DialogFiles::IsDialogFileName(std::string_view path)
{
    constexpr std::string_view extension = ".dlg";
    const std::string_view name = path.substr(path.rfind('/') + 1); // ".dlg" alone is a hidden file's name
    return name.size() > extension.size()
        && std::equal(extension.begin(), extension.end(), name.end() - static_cast<std::ptrdiff_t>(extension.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::vector<std::string> DialogFiles::Collect(const std::vector<std::string> &paths, std::map<std::string, std::string> &unreadable,
                                              std::map<std::string, std::string> *skipped)
{
    std::vector<std::string> files;
    for (const std::string &path : paths) {
        std::error_code error;
        if (path != kStandardInput && fs::is_directory(path, error))
            CollectFolder(path, files, unreadable, skipped);
        else
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

namespace {

// Runs work(i), marking i when it runs out of memory: marked without
// allocating, since memory may be what ran out, and caught, since an
// exception that left a worker thread would end the program.
void Guarded(const std::function<void(size_t)> &work, size_t i, std::vector<char> &outOfMemory)
{
    try {
        work(i);
    } catch (const std::bad_alloc &) {
        outOfMemory[i] = 1;
    }
}

std::vector<size_t> Marked(const std::vector<char> &marks)
{
    std::vector<size_t> marked;
    for (size_t i = 0; i < marks.size(); ++i) {
        if (marks[i])
            marked.push_back(i);
    }
    return marked;
}

} // namespace

std::vector<size_t> DialogFiles::ForEach(size_t count, const std::function<void(size_t)> &work)
{
    const size_t threads = std::min<size_t>(count, std::max(1U, std::thread::hardware_concurrency()));
    std::atomic<size_t> next{0};
    std::vector<char> outOfMemory(count, 0);
    const auto run = [&] {
        for (size_t i; (i = next.fetch_add(1)) < count;)
            Guarded(work, i, outOfMemory);
    };
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t)
        workers.emplace_back(run);
    run();
    for (std::thread &worker : workers)
        worker.join();
    return Marked(outOfMemory);
}

std::vector<size_t> DialogFiles::AtOnce(size_t count, const std::function<void(size_t)> &work)
{
    std::vector<char> outOfMemory(count, 0);
    {
        std::vector<std::jthread> workers;
        for (size_t i = 1; i < count; ++i)
            workers.emplace_back([&, i] { Guarded(work, i, outOfMemory); });
        if (count > 0)
            Guarded(work, 0, outOfMemory);
    }
    return Marked(outOfMemory);
}

bool DialogFiles::Read(const std::string &path, DialogFile &file, std::string &error)
{
    if (path != kStandardInput) {
        if (file.Read(path))
            return true;
        error = file.GetErrorText();
        return false;
    }
    std::string bytes;
    return ReadBytes(path, bytes, error) && ReadDocument(file, bytes, error);
}

std::vector<std::string> DialogFiles::ReadEach(const std::vector<std::string> &files,
                                               const std::function<void(size_t, DialogFile &, std::string_view)> &work)
{
    std::vector<std::string> errors(files.size());
    const std::vector<size_t> outOfMemory = ForEach(files.size(), [&](size_t i) {
        std::string bytes;
        DialogFile file;
        if (ReadBytes(files[i], bytes, errors[i]) && ReadDocument(file, bytes, errors[i]))
            work(i, file, bytes);
    });
    for (const size_t i : outOfMemory)
        errors[i] = kNotEnoughMemory;
    return errors;
}

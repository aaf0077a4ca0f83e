#include "storage/DialogFiles.h"

#include "model/DialogFile.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <new>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStandardInput = "-";

// Adds the .dlg files below folder to files, depth first; a folder that
// cannot be listed is kept with the reason, and the rest carries on.
void CollectFolder(const fs::path &folder, std::vector<std::string> &files, std::map<std::string, std::string> &unreadable)
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
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                pending.push_back(it->path());
                continue;
            }
            std::string extension = it->path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
            if (extension == ".dlg" && it->is_regular_file(ignored))
                files.push_back(it->path().string());
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
        error = "not enough memory";
    }
    return false;
}

} // namespace

std::vector<std::string> DialogFiles::Collect(const std::vector<std::string> &paths, std::map<std::string, std::string> &unreadable)
{
    std::vector<std::string> files;
    for (const std::string &path : paths) {
        std::error_code error;
        if (path != kStandardInput && fs::is_directory(path, error))
            CollectFolder(path, files, unreadable);
        else
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

void DialogFiles::ForEach(size_t count, const std::function<void(size_t)> &work)
{
    const size_t threads = std::min<size_t>(count, std::max(1U, std::thread::hardware_concurrency()));
    std::atomic<size_t> next{0};
    const auto run = [&] {
        for (size_t i; (i = next.fetch_add(1)) < count;)
            work(i);
    };
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t)
        workers.emplace_back(run);
    run();
    for (std::thread &worker : workers)
        worker.join();
}

void DialogFiles::AtOnce(size_t count, const std::function<void(size_t)> &work)
{
    std::vector<std::jthread> workers;
    for (size_t i = 1; i < count; ++i)
        workers.emplace_back(work, i);
    if (count > 0)
        work(0);
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
    ForEach(files.size(), [&](size_t i) {
        std::string bytes;
        DialogFile file;
        if (ReadBytes(files[i], bytes, errors[i]) && ReadDocument(file, bytes, errors[i]))
            work(i, file, bytes);
    });
    return errors;
}

#include "DialogFiles.h"

#include "model/DialogFile.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

std::vector<std::string> DialogFiles::Collect(const std::vector<std::string> &paths)
{
    std::vector<std::string> files;
    for (const std::string &path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, error), end; it != end;
             it.increment(error)) {
            std::string extension = it->path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
            if (extension == ".dlg" && it->is_regular_file(error))
                files.push_back(it->path().string());
        }
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

std::vector<std::string> DialogFiles::ReadEach(const std::vector<std::string> &files,
                                               const std::function<void(size_t, DialogFile &, std::string_view)> &work)
{
    std::vector<std::string> errors(files.size());
    ForEach(files.size(), [&](size_t i) {
        std::string bytes;
        DialogFile file;
        if (!DialogFile::ReadFileBytes(files[i], bytes, errors[i]))
            return;
        if (!file.ReadText(bytes)) {
            errors[i] = file.GetErrorText();
            return;
        }
        work(i, file, bytes);
    });
    return errors;
}

#include "session/GameFolder.h"

#include "folder/FolderIndex.h"
#include "model/DialogFile.h"
#include "storage/DialogFiles.h"
#include "storage/RecoveryFolder.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>

namespace fs = std::filesystem;

namespace {

// The system's watches are shared by every program of the user: a folder
// of more files than this is watched for its folders, then for as many
// files as there is room for. A file not watched is still seen when it is
// saved whole (the folder sees a new file take its name) or saved here.
constexpr qsizetype kMostWatched = 4096;
// Changes on disk come in bursts (a save writes, renames, sets times).
constexpr int kSettleMs = 50;
constexpr int kTakeMs = 50;

bool ByPath(const FolderFile &file, const std::string &path)
{
    return file.path < path;
}

// folder and every folder below it, links to folders not followed.
std::vector<std::string> FoldersBelow(const std::string &folder)
{
    std::vector<std::string> folders;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return folders;
    folders.push_back(folder);
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (const fs::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            folders.push_back(it->path().string());
    }
    return folders;
}

// The files below folder that the index holds otherwise than they are on
// disk: new, changed or gone.
void ChangedBelow(const FolderIndex &index, const std::string &folder, std::set<std::string> &paths)
{
    std::map<std::string, std::string> unreadable;
    std::map<std::string, std::string> skipped;
    std::error_code error;
    const std::vector<std::string> found =
        fs::is_directory(folder, error) ? DialogFiles::Collect({folder}, unreadable, &skipped) : std::vector<std::string>();
    for (const std::string &path : found) {
        const FolderFile *entry = index.Find(path);
        if (!entry || !(entry->stamp == DiskStamp::Of(path)))
            paths.insert(path);
    }
    const std::string prefix = folder + "/";
    for (auto at = std::lower_bound(index.Files().begin(), index.Files().end(), prefix, ByPath);
         at != index.Files().end() && at->path.starts_with(prefix); ++at) {
        if (!std::binary_search(found.begin(), found.end(), at->path))
            paths.insert(at->path);
    }
}

} // namespace

// What the jobs of one folder share with the window: where to send what
// they found, until the folder changes or the window goes.
struct GameFolder::Mailbox {
    std::mutex lock;
    GameFolder *owner = nullptr;
    std::vector<FolderFile> ready; // read by the fill, not yet taken

    // Runs what on the owner's thread, unless the owner has gone by then.
    void Post(std::function<void(GameFolder &)> what)
    {
        const std::lock_guard hold(lock);
        if (owner)
            QMetaObject::invokeMethod(owner, [owner = owner, what = std::move(what)] { what(*owner); }, Qt::QueuedConnection);
    }
};

struct GameFolder::Listing {
    std::map<std::string, std::string> unreadable;
    std::map<std::string, std::string> skipped;
    std::vector<std::string> folders;
};

GameFolder::GameFolder(QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
    , m_take(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &GameFolder::StartNext);
    m_take->setSingleShot(true);
    m_take->setInterval(kTakeMs);
    connect(m_take, &QTimer::timeout, this, &GameFolder::TakeReady);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this](const QString &path) { Due(QFile::encodeName(path).toStdString(), false); });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString &path) { Due(QFile::encodeName(path).toStdString(), true); });
}

GameFolder::~GameFolder()
{
    Detach();
}

// The jobs under way of the folder before send nothing more.
void GameFolder::Detach()
{
    if (!m_mailbox)
        return;
    const std::lock_guard hold(m_mailbox->lock);
    m_mailbox->owner = nullptr;
}

std::string GameFolder::Spelling(const std::string &path)
{
    std::string spelt = RecoveryFolder::Absolute(path);
    while (spelt.size() > 1 && spelt.ends_with('/'))
        spelt.pop_back();
    return spelt;
}

void GameFolder::SetFolder(const std::string &folder)
{
    if (folder == m_folder)
        return;
    Detach();
    m_folder = folder;
    m_index = folder.empty() ? nullptr : std::make_shared<FolderIndex>(std::vector<std::string>{folder});
    m_mailbox = std::make_shared<Mailbox>();
    m_mailbox->owner = this;
    m_loaded = false;
    m_running = false;
    m_duePaths.clear();
    m_dueFolders.clear();
    m_files.clear();
    m_unreadable.clear();
    m_skipped.clear();
    m_settle->stop();
    m_take->stop();
    if (const QStringList watched = m_watcher->files() + m_watcher->directories(); !watched.isEmpty())
        m_watcher->removePaths(watched);
    m_fillDue = m_wanted && m_index;
    emit folderChanged();
    StartNext();
}

void GameFolder::Load()
{
    if (m_wanted)
        return;
    m_wanted = true;
    m_fillDue = m_index != nullptr;
    StartNext();
}

bool GameFolder::IsUpToDate() const
{
    return m_loaded && !m_running && !m_fillDue && m_duePaths.empty() && m_dueFolders.empty() && !m_settle->isActive();
}

const FolderFile *GameFolder::Find(const std::string &path) const
{
    const auto at = std::lower_bound(m_files.begin(), m_files.end(), path, ByPath);
    return at != m_files.end() && at->path == path ? &*at : nullptr;
}

std::vector<FolderFile> GameFolder::FilesWith(const std::shared_ptr<const DialogFile> &open) const
{
    std::vector<FolderFile> files = m_files;
    if (open && !open->IsUntitled()) {
        const auto at = std::lower_bound(files.begin(), files.end(), Spelling(open->GetFileName()), ByPath);
        if (at != files.end() && at->path == Spelling(open->GetFileName())) {
            at->document = open;
            at->error.clear();
        }
    }
    return files;
}

void GameFolder::Refresh(const std::string &path)
{
    if (!m_wanted || !m_index)
        return;
    m_duePaths.insert(Spelling(path));
    StartNext();
}

void GameFolder::Due(const std::string &path, bool folder)
{
    (folder ? m_dueFolders : m_duePaths).insert(path);
    if (!m_settle->isActive())
        m_settle->start();
    emit stateChanged();
}

void GameFolder::StartNext()
{
    if (!m_running && m_index) {
        if (m_fillDue)
            StartFill();
        else if (m_loaded && !m_settle->isActive() && (!m_duePaths.empty() || !m_dueFolders.empty()))
            StartUpdate();
    }
    emit stateChanged();
}

void GameFolder::StartFill()
{
    m_fillDue = false;
    m_running = true;
    QThreadPool::globalInstance()->start([index = m_index, box = m_mailbox, folder = m_folder] {
        auto listing = std::make_shared<Listing>();
        index->Fill([&box](const FolderFile &file) {
            const std::lock_guard hold(box->lock);
            box->ready.push_back(file);
            if (box->owner && box->ready.size() == 1)
                QMetaObject::invokeMethod(box->owner, [owner = box->owner] {
                    if (!owner->m_take->isActive())
                        owner->m_take->start();
                }, Qt::QueuedConnection);
        });
        listing->unreadable = index->Unreadable();
        listing->skipped = index->Skipped();
        listing->folders = FoldersBelow(folder);
        box->Post([listing](GameFolder &folder) { folder.Filled(std::move(*listing)); });
    });
}

void GameFolder::TakeReady()
{
    std::vector<FolderFile> ready;
    {
        const std::lock_guard hold(m_mailbox->lock);
        ready.swap(m_mailbox->ready);
    }
    if (ready.empty())
        return;
    std::sort(ready.begin(), ready.end(), [](const FolderFile &a, const FolderFile &b) { return a.path < b.path; });
    std::vector<std::string> paths;
    paths.reserve(ready.size());
    for (const FolderFile &file : ready)
        paths.push_back(file.path);
    const auto middle = static_cast<std::ptrdiff_t>(m_files.size());
    m_files.insert(m_files.end(), std::make_move_iterator(ready.begin()), std::make_move_iterator(ready.end()));
    std::inplace_merge(m_files.begin(), m_files.begin() + middle, m_files.end(),
                       [](const FolderFile &a, const FolderFile &b) { return a.path < b.path; });
    emit filesChanged(paths);
}

void GameFolder::Filled(Listing listing)
{
    m_take->stop();
    TakeReady();
    m_running = false;
    m_loaded = true;
    m_unreadable = std::move(listing.unreadable);
    m_skipped = std::move(listing.skipped);
    std::vector<std::string> files;
    files.reserve(m_files.size());
    for (const FolderFile &file : m_files)
        files.push_back(file.path);
    Watch(listing.folders, files);
    emit loaded();
    StartNext();
}

void GameFolder::StartUpdate()
{
    m_running = true;
    // A folder is looked through with all below it: those below one due go.
    std::vector<std::string> folders;
    for (const std::string &folder : std::exchange(m_dueFolders, {})) {
        if (folders.empty() || !folder.starts_with(folders.back() == "/" ? folders.back() : folders.back() + "/"))
            folders.push_back(folder);
    }
    QThreadPool::globalInstance()->start(
        [index = m_index, box = m_mailbox, paths = std::exchange(m_duePaths, {}), folders = std::move(folders)]() mutable {
            std::vector<std::string> watch;
            for (const std::string &folder : folders) {
                ChangedBelow(*index, folder, paths);
                const std::vector<std::string> below = FoldersBelow(folder);
                watch.insert(watch.end(), below.begin(), below.end());
            }
            std::vector<Change> changes;
            for (const std::string &path : paths) {
                const FolderFile *entry = index->Refresh(path);
                changes.emplace_back(path, entry ? std::optional<FolderFile>(*entry) : std::nullopt);
            }
            box->Post([changes = std::move(changes), watch = std::move(watch)](GameFolder &folder) mutable {
                folder.Updated(std::move(changes), std::move(watch));
            });
        });
}

void GameFolder::Updated(std::vector<Change> changes, std::vector<std::string> folders)
{
    m_running = false;
    const std::vector<std::string> paths = Merge(std::move(changes));
    std::vector<std::string> present;
    for (const std::string &path : paths) {
        if (Find(path))
            present.push_back(path);
    }
    Watch(folders, present);

    if (!paths.empty())
        emit filesChanged(paths);
    StartNext();
}

std::vector<std::string> GameFolder::Merge(std::vector<Change> changes)
{
    std::vector<std::string> paths;
    for (auto &[path, entry] : changes) {
        const auto at = std::lower_bound(m_files.begin(), m_files.end(), path, ByPath);
        const bool held = at != m_files.end() && at->path == path;
        if (entry && held)
            *at = std::move(*entry);
        else if (entry)
            m_files.insert(at, std::move(*entry));
        else if (held)
            m_files.erase(at);
        else
            continue;
        paths.push_back(path);
    }
    return paths;
}

// A file saved whole is a new file under the old name: the watch of the
// old one went with it, and is made again. A folder watched anew is looked
// through once more: a file made in it before its watch began was not seen.
void GameFolder::Watch(const std::vector<std::string> &folders, const std::vector<std::string> &files)
{
    const QStringList watchedFiles = m_watcher->files();
    const QStringList watchedFolders = m_watcher->directories();
    const QSet<QString> watched(watchedFiles.begin(), watchedFiles.end());
    const QSet<QString> watchedDirs(watchedFolders.begin(), watchedFolders.end());
    qsizetype room = kMostWatched - watched.size() - watchedDirs.size();
    QStringList add;
    const auto take = [&](const std::vector<std::string> &paths, const QSet<QString> &already) {
        for (const std::string &path : paths) {
            if (room <= 0)
                return;
            const QString name = QFile::decodeName(QByteArray::fromStdString(path));
            if (!already.contains(name)) {
                add << name;
                --room;
            }
        }
    };
    take(folders, watchedDirs);
    const qsizetype newFolders = add.size();
    take(files, watched);
    if (add.isEmpty())
        return;
    m_watcher->addPaths(add);
    for (qsizetype i = 0; i < newFolders; ++i)
        m_dueFolders.insert(QFile::encodeName(add[i]).toStdString());
    if (newFolders > 0 && !m_settle->isActive())
        m_settle->start();
}

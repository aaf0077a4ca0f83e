// The program's rooms, read from its sources: no header includes another in
// a circle, each room includes only the rooms below it, and no room holds
// more than a fifth of the code. Each test names what breaks the rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The editor's rooms, each with the rooms it may include (besides itself,
// the core and the adapters): the window on top, what both use at the bottom.
const std::map<std::string, std::set<std::string>> kEditorRooms = {
    {"app", {"commands", "panels", "dialogs", "session", "ui"}},
    {"commands", {"dialogs", "session", "ui"}},
    {"panels", {"session", "ui"}},
    {"dialogs", {"session", "ui"}},
    {"session", {"ui"}},
    {"ui", {}},
};
// Folders that hold no program code.
const std::set<std::string> kNotCode = {"tests", "fuzz", "bench", "build", "docs", "examples", "res", "scripts", "cmake", "tools"};
const std::set<std::string> kAdapters = {"graph", "spelling", "textdiff", "po", "regex"};

struct Source {
    std::string room;             // its top folder
    std::string unit;             // "room/Name", the class its header and source are about
    std::vector<std::string> includes; // the project headers it includes, as units
    size_t lines = 0;             // not blank
    bool header = false;
};

// The quoted header a line includes, without ".h"; empty for none.
std::string IncludedHeader(const std::string &line)
{
    const size_t hash = line.find_first_not_of(" \t");
    if (hash == std::string::npos || line[hash] != '#')
        return {};
    const size_t word = line.find_first_not_of(" \t", hash + 1);
    if (word == std::string::npos || line.compare(word, 7, "include") != 0)
        return {};
    const size_t open = line.find('"', word);
    const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos || close - open < 4 || line.compare(close - 2, 2, ".h") != 0)
        return {};
    return line.substr(open + 1, close - open - 3);
}

std::vector<Source> ReadSources()
{
    std::vector<Source> sources;
    const fs::path root = TALKWRIGHT_SOURCE_DIR;
    for (const fs::directory_entry &top : fs::directory_iterator(root)) {
        const std::string name = top.path().filename().string();
        if (!top.is_directory() || kNotCode.count(name) || name.front() == '.')
            continue;
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(top.path())) {
            const fs::path relative = fs::relative(entry.path(), root);
            const std::string extension = relative.extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp"))
                continue;
            Source source;
            source.room = relative.parent_path().string();
            source.unit = (relative.parent_path() / relative.stem()).string();
            source.header = extension == ".h";
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line);) {
                if (line.find_first_not_of(" \t\r") != std::string::npos)
                    ++source.lines;
                if (const std::string header = IncludedHeader(line); header.find('/') != std::string::npos)
                    source.includes.push_back(header);
            }
            sources.push_back(std::move(source));
        }
    }
    return sources;
}

std::string RoomOf(const std::string &unit)
{
    return unit.substr(0, unit.find('/'));
}

} // namespace

namespace {

// The circles of a graph, each as "a -> b -> ... -> a".
std::vector<std::string> Circles(std::map<std::string, std::set<std::string>> uses)
{
    std::map<std::string, int> state; // 1 on the way, 2 done
    std::vector<std::string> way;
    std::vector<std::string> circles;
    std::function<void(const std::string &)> visit = [&](const std::string &unit) {
        state[unit] = 1;
        way.push_back(unit);
        for (const std::string &next : uses[unit]) {
            if (state[next] == 1) {
                std::string circle;
                for (auto at = std::find(way.begin(), way.end(), next); at != way.end(); ++at)
                    circle += *at + " -> ";
                circles.push_back(circle + next);
            } else if (state[next] == 0) {
                visit(next);
            }
        }
        way.pop_back();
        state[unit] = 2;
    };
    for (const auto &[unit, _] : uses) {
        if (state[unit] == 0)
            visit(unit);
    }
    return circles;
}

} // namespace

// No header includes another in a circle, anywhere; and in the editor not
// even by way of the sources: no class's files include another's while
// that one's include its own, however long the way round (the window and
// its commands once did).
TEST(Rooms, NoHeaderIncludesAnotherInACircle)
{
    std::map<std::string, std::set<std::string>> headers;
    std::map<std::string, std::set<std::string>> editorClasses;
    for (const Source &source : ReadSources()) {
        for (const std::string &header : source.includes) {
            if (source.header)
                headers[source.unit].insert(header);
            if (header != source.unit && kEditorRooms.count(source.room) && kEditorRooms.count(RoomOf(header)))
                editorClasses[source.unit].insert(header);
        }
    }
    EXPECT_EQ(Circles(headers), std::vector<std::string>());
    EXPECT_EQ(Circles(editorClasses), std::vector<std::string>());
}

// The core includes only the core; the adapters the core; dlgtool anything
// but the editor; the editor never dlgtool's code, and each of its rooms only
// the rooms below it: no command knows the window, no panel a command.
TEST(Rooms, EachRoomIncludesOnlyTheRoomsBelowIt)
{
    std::vector<std::string> faults;
    for (const Source &source : ReadSources()) {
        const bool editor = kEditorRooms.count(source.room) > 0;
        const bool core = !editor && source.room != "cli" && !kAdapters.count(source.room);
        for (const std::string &header : source.includes) {
            const std::string room = RoomOf(header);
            const bool headerEditor = kEditorRooms.count(room) > 0;
            bool allowed = true;
            if (core)
                allowed = !headerEditor && room != "cli" && !kAdapters.count(room);
            else if (kAdapters.count(source.room))
                allowed = !headerEditor && room != "cli" && (room == source.room || !kAdapters.count(room));
            else if (source.room == "cli")
                allowed = !headerEditor;
            else
                allowed = room != "cli" && (!headerEditor || room == source.room || kEditorRooms.at(source.room).count(room));
            if (!allowed)
                faults.push_back(source.unit + " includes " + header);
        }
    }
    EXPECT_EQ(faults, std::vector<std::string>());
}

TEST(Rooms, NoFolderHoldsMoreThanAFifthOfTheCode)
{
    std::map<std::string, size_t> lines;
    size_t total = 0;
    for (const Source &source : ReadSources()) {
        lines[source.room] += source.lines;
        total += source.lines;
    }
    ASSERT_GT(total, 1000u) << "the sources are found";
    for (const auto &[room, count] : lines)
        EXPECT_LE(count * 5, total) << room << " holds " << count << " of " << total << " lines of code";
}

#include "storage/UnifiedDiff.h"

#include <algorithm>
#include <vector>

namespace {

constexpr size_t kContext = 3;
// Beyond this many differing lines the diff stops looking for the shortest
// edit and shows the changed middle as one replacement.
constexpr long kMaxEdits = 1000;

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t lf = text.find('\n');
        const size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

enum class Op { Keep, Remove, Add };

// The shortest edit script of Myers' algorithm; empty when it would need
// more than kMaxEdits edits.
std::vector<Op> ShortestEdit(const std::vector<std::string_view> &a, const std::vector<std::string_view> &b)
{
    const long n = static_cast<long>(a.size());
    const long m = static_cast<long>(b.size());
    const long max = std::min(n + m, kMaxEdits);
    const long offset = max + 1;
    std::vector<long> v(static_cast<size_t>(2 * max + 3), 0);
    std::vector<std::vector<long>> trace;
    for (long d = 0; d <= max; ++d) {
        trace.push_back(v);
        for (long k = -d; k <= d; k += 2) {
            long x = (k == -d || (k != d && v[static_cast<size_t>(offset + k - 1)] < v[static_cast<size_t>(offset + k + 1)]))
                ? v[static_cast<size_t>(offset + k + 1)]
                : v[static_cast<size_t>(offset + k - 1)] + 1;
            long y = x - k;
            while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)])
                ++x, ++y;
            v[static_cast<size_t>(offset + k)] = x;
            if (x >= n && y >= m) {
                // Walk back through the saved rows to recover the script.
                std::vector<Op> ops;
                for (long dd = d; dd > 0; --dd) {
                    const std::vector<long> &row = trace[static_cast<size_t>(dd)];
                    const long kk = x - y;
                    const bool down = kk == -dd || (kk != dd && row[static_cast<size_t>(offset + kk - 1)] < row[static_cast<size_t>(offset + kk + 1)]);
                    const long prevK = down ? kk + 1 : kk - 1;
                    const long prevX = row[static_cast<size_t>(offset + prevK)];
                    const long prevY = prevX - prevK;
                    while (x > prevX + (down ? 0 : 1) && y > prevY + (down ? 1 : 0))
                        ops.push_back(Op::Keep), --x, --y;
                    ops.push_back(down ? Op::Add : Op::Remove);
                    x = prevX;
                    y = prevY;
                }
                while (x > 0 && y > 0)
                    ops.push_back(Op::Keep), --x, --y;
                std::reverse(ops.begin(), ops.end());
                return ops;
            }
        }
    }
    return {};
}

} // namespace

std::string UnifiedDiff::Make(std::string_view before, std::string_view after, const std::string &fromName, const std::string &toName)
{
    const std::vector<std::string_view> a = Lines(before);
    const std::vector<std::string_view> b = Lines(after);
    std::vector<Op> ops = ShortestEdit(a, b);
    if (ops.empty() && (!a.empty() || !b.empty())) {
        // Too different to search: keep the common ends, replace the middle.
        size_t head = 0;
        while (head < a.size() && head < b.size() && a[head] == b[head])
            ++head;
        size_t tail = 0;
        while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
            ++tail;
        ops.assign(head, Op::Keep);
        ops.insert(ops.end(), a.size() - head - tail, Op::Remove);
        ops.insert(ops.end(), b.size() - head - tail, Op::Add);
        ops.insert(ops.end(), tail, Op::Keep);
    }

    std::string out = "--- " + fromName + "\n+++ " + toName + "\n";
    size_t i = 0;
    while (i < ops.size()) {
        if (ops[i] == Op::Keep) {
            ++i;
            continue;
        }
        // A hunk: the changes from here, joined while less than twice the
        // context of unchanged lines lies between them.
        const size_t start = i - std::min(i, kContext);
        size_t lastChange = i;
        for (size_t k = i; k < ops.size(); ++k) {
            if (ops[k] != Op::Keep)
                lastChange = k;
            else if (k - lastChange > 2 * kContext)
                break;
        }
        const size_t end = std::min(ops.size(), lastChange + 1 + kContext);
        size_t aLine = 0, bLine = 0;
        for (size_t k = 0; k < start; ++k) {
            aLine += ops[k] != Op::Add;
            bLine += ops[k] != Op::Remove;
        }
        std::string body;
        size_t aCount = 0, bCount = 0;
        for (size_t k = start; k < end; ++k) {
            const char mark = ops[k] == Op::Keep ? ' ' : ops[k] == Op::Remove ? '-' : '+';
            const std::string_view line = ops[k] == Op::Add ? b[bLine + bCount] : a[aLine + aCount];
            body += mark;
            body += line;
            if (line.empty() || line.back() != '\n')
                body += "\n\\ No newline at end of file\n";
            aCount += ops[k] != Op::Add;
            bCount += ops[k] != Op::Remove;
        }
        const auto range = [](size_t first, size_t count) {
            return std::to_string(count == 0 ? first : first + 1) + (count == 1 ? "" : "," + std::to_string(count));
        };
        out += "@@ -" + range(aLine, aCount) + " +" + range(bLine, bCount) + " @@\n" + body;
        i = end;
    }
    return out;
}

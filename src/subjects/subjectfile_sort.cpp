// The order the file's sort setting puts the subjects in.
#include "subjects/subjectfile.h"

#include <algorithm>
#include <deque>
#include <numeric>
#include <stdexcept>
#include <utility>
#include <vector>

namespace subjects {

void sortSubjects(SubjectList& list)
{
    if (list.keys.size() != list.names.size())
        throw std::invalid_argument("subjects::sortSubjects: keys and names differ in length");
    if (list.keys.isEmpty())
        return;

    if (list.keys.first().isEmpty()) {
        // The names alone. Equal names are the same text, so any sort gives
        // the order the exchange sort would.
        std::sort(list.names.begin(), list.names.end());
        return;
    }

    // The keys end up in ascending order; what the exchange decides is the
    // order of the names under equal keys. Done step by step that takes n²
    // comparisons, seconds for a file of 32767 subjects. Instead:
    //
    // Take one key x. An exchange pass moves a subject with key x only when
    // it is the first subject at or after the pass's position whose key is
    // x or less; it then jumps to the first smaller key after it, past any
    // other x, or stays put as the smallest key left. Keys greater than x
    // play no part. So, walking through the subjects with keys x or less in
    // file order, the x subjects seen so far form a queue: each smaller key
    // met sends the queue's first subject to its back, and a further x joins
    // at the back. The queue at the end is the order of the x subjects.
    const qsizetype n = list.keys.size();
    std::vector<qsizetype> byKey(static_cast<size_t>(n));
    std::iota(byKey.begin(), byKey.end(), qsizetype(0));
    std::stable_sort(byKey.begin(), byKey.end(),
                     [&](qsizetype a, qsizetype b) { return list.keys[a] < list.keys[b]; });

    // Counts, per position, of the subjects with smaller keys than the one
    // at hand (a Fenwick tree over positions).
    std::vector<qsizetype> smaller(static_cast<size_t>(n) + 1, 0);
    const auto addSmaller = [&](qsizetype position) {
        for (qsizetype i = position + 1; i <= n; i += i & -i)
            ++smaller[size_t(i)];
    };
    const auto smallerBefore = [&](qsizetype position) { // positions 0 .. position − 1
        qsizetype count = 0;
        for (qsizetype i = position; i > 0; i -= i & -i)
            count += smaller[size_t(i)];
        return count;
    };

    QStringList keys, names;
    keys.reserve(n);
    names.reserve(n);
    std::deque<qsizetype> queue;
    for (qsizetype from = 0; from < n;) {
        // The subjects with one key, in file order (the sort above is stable).
        qsizetype to = from + 1;
        while (to < n && list.keys[byKey[size_t(to)]] == list.keys[byKey[size_t(from)]])
            ++to;
        queue.clear();
        for (qsizetype k = from; k < to; ++k) {
            const qsizetype position = byKey[size_t(k)];
            queue.push_back(position);
            const qsizetype next = k + 1 < to ? byKey[size_t(k + 1)] : n;
            const qsizetype turns = (smallerBefore(next) - smallerBefore(position + 1)) % qsizetype(queue.size());
            for (qsizetype t = 0; t < turns; ++t) {
                queue.push_back(queue.front());
                queue.pop_front();
            }
        }
        for (const qsizetype position : queue) {
            keys.append(list.keys[position]);
            names.append(list.names[position]);
        }
        for (qsizetype k = from; k < to; ++k)
            addSmaller(byKey[size_t(k)]);
        from = to;
    }
    list.keys = std::move(keys);
    list.names = std::move(names);
}

} // namespace subjects

#include "sparse_memory.h"

#include <algorithm>

namespace vrs::devsim {

namespace {
uint64_t EndOf(const std::pair<const uint32_t, QByteArray> &segment)
{
    return uint64_t(segment.first) + uint64_t(segment.second.size());
}
} // namespace

void SparseMemory::Write(uint32_t address, const QByteArray &data)
{
    if (data.isEmpty())
        return;
    uint64_t start = address;
    uint64_t end = start + uint64_t(data.size());

    // Every segment that overlaps or touches [start, end) melts into one.
    auto first = m_segments.upper_bound(address);
    if (first != m_segments.begin() && EndOf(*std::prev(first)) >= start)
        --first;
    auto last = first;
    while (last != m_segments.end() && last->first <= end)
        ++last;

    if (first != last) {
        start = std::min<uint64_t>(start, first->first);
        end = std::max<uint64_t>(end, EndOf(*std::prev(last)));
    }
    QByteArray merged(qsizetype(end - start), char(0xFF));
    for (auto it = first; it != last; ++it)
        std::copy(it->second.begin(), it->second.end(), merged.begin() + qsizetype(it->first - start));
    std::copy(data.begin(), data.end(), merged.begin() + qsizetype(uint64_t(address) - start));
    m_segments.erase(first, last);
    m_segments.emplace(uint32_t(start), std::move(merged));
}

QByteArray SparseMemory::Read(uint32_t address, uint32_t size) const
{
    QByteArray out(qsizetype(size), char(0xFF));
    const uint64_t start = address;
    const uint64_t end = start + size;
    auto it = m_segments.upper_bound(address);
    if (it != m_segments.begin())
        --it;
    for (; it != m_segments.end() && it->first < end; ++it) {
        const uint64_t from = std::max<uint64_t>(start, it->first);
        const uint64_t to = std::min<uint64_t>(end, EndOf(*it));
        if (from >= to)
            continue;
        std::copy(it->second.begin() + qsizetype(from - it->first),
                  it->second.begin() + qsizetype(to - it->first),
                  out.begin() + qsizetype(from - start));
    }
    return out;
}

} // namespace vrs::devsim

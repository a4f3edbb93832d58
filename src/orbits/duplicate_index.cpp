// The duplicate index of an import: sorted entries, binary search and forward scan.
#include "orbits/duplicate_index.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

namespace {

std::uint64_t keyHash(std::string_view name, std::string_view memo)
{
    const std::uint64_t nameHash = std::hash<std::string_view>{}(name);
    const std::uint64_t memoHash = std::hash<std::string_view>{}(memo);
    // The odd multiplier keeps ("a", "b") and ("b", "a") apart.
    return nameHash * 0x9E3779B97F4A7C15ULL ^ memoHash;
}

} // namespace

DuplicateIndex::DuplicateIndex(const std::vector<IndexedOrbit>& orbits)
{
    m_added.reserve(orbits.size());
    for (const IndexedOrbit& orbit : orbits)
        add(orbit.mjd, orbit.name, orbit.memo);
    mergeAdded();
}

void DuplicateIndex::add(double mjd, std::string_view name, std::string_view memo)
{
    // A mjd that is not a number lies in no window, and would break the sort order.
    if (std::isnan(mjd))
        return;
    m_added.push_back({keyHash(name, memo), mjd, m_texts.size(),
                       static_cast<std::uint32_t>(name.size()),
                       static_cast<std::uint32_t>(memo.size())});
    m_texts.append(name);
    m_texts.append(memo);
}

bool DuplicateIndex::before(const Entry& a, const Entry& b)
{
    return std::tie(a.keyHash, a.mjd) < std::tie(b.keyHash, b.mjd);
}

void DuplicateIndex::mergeAdded()
{
    std::sort(m_added.begin(), m_added.end(), before);
    const std::size_t merged = m_entries.size();
    m_entries.insert(m_entries.end(), m_added.begin(), m_added.end());
    std::inplace_merge(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(merged),
                       m_entries.end(), before);
    m_added.clear();
    buildBuckets();
}

void DuplicateIndex::buildBuckets()
{
    // About one entry a bucket.
    int bits = 1;
    while (bits < kMaxBucketBits && (std::size_t{1} << bits) < m_entries.size())
        ++bits;
    m_bucketShift = 64 - bits;
    const std::size_t buckets = std::size_t{1} << bits;
    m_buckets.resize(buckets + 1);
    std::size_t entry = 0;
    for (std::size_t bucket = 0; bucket <= buckets; ++bucket) {
        while (entry < m_entries.size() && bucketOf(m_entries[entry].keyHash) < bucket)
            ++entry;
        m_buckets[bucket] = static_cast<std::uint32_t>(entry);
    }
}

std::string_view DuplicateIndex::name(const Entry& entry) const
{
    return std::string_view(m_texts).substr(entry.textOffset, entry.nameLength);
}

std::string_view DuplicateIndex::memo(const Entry& entry) const
{
    return std::string_view(m_texts).substr(entry.textOffset + entry.nameLength, entry.memoLength);
}

bool DuplicateIndex::isDuplicate(double mjd, std::string_view name, std::string_view memo) const
{
    const double low = mjd * kDuplicateWindowLow;
    const double high = mjd * kDuplicateWindowHigh;
    if (m_entries.empty())
        return false;
    const std::uint64_t hash = keyHash(name, memo);
    const std::size_t bucket = bucketOf(hash);
    const auto end = m_entries.begin() + m_buckets[bucket + 1];
    auto it = std::lower_bound(m_entries.begin() + m_buckets[bucket], end, hash,
                               [low](const Entry& entry, std::uint64_t wanted) {
                                   return entry.keyHash < wanted ||
                                          (entry.keyHash == wanted && entry.mjd < low);
                               });
    for (; it != end && it->keyHash == hash && it->mjd < high; ++it) {
        if (low < it->mjd && this->name(*it) == name && this->memo(*it) == memo)
            return true;
    }
    return false;
}

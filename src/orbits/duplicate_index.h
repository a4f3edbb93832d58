#pragma once
// The orbits the current data source already holds, searched by mjd, name and memo so that an
// import skips the rows it has seen before.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One loaded orbit as the caller reads it from the orbit table; the views need to live only
// while the index is built.
struct IndexedOrbit {
    double mjd;
    std::string_view name;
    std::string_view memo;
};

class DuplicateIndex {
public:
    DuplicateIndex() = default;
    explicit DuplicateIndex(const std::vector<IndexedOrbit>& orbits);

    // Whether some indexed orbit has mjd * 0.99999 < its mjd < mjd * 1.00001 and exactly this
    // name and memo (case-sensitive; an empty text equals only the empty text).
    bool isDuplicate(double mjd, std::string_view name, std::string_view memo) const;
    std::size_t size() const { return m_entries.size(); }

    // Adds an orbit that queries find only from the next mergeAdded() on: the rows one file of
    // an import writes are duplicates for the files after it, not for the file itself.
    void add(double mjd, std::string_view name, std::string_view memo);
    void mergeAdded();

private:
    // Entries are sorted by the hash of their name and memo, then by mjd: the mjd window is
    // then searched only among the orbits that can match, with the same answer as a search
    // of all orbits sorted by mjd.
    struct Entry {
        std::uint64_t keyHash;
        double mjd;
        std::size_t textOffset;   // name then memo, in m_texts
        std::uint32_t nameLength; // table texts: at most 255 characters
        std::uint32_t memoLength;
    };
    void buildBuckets();
    static bool before(const Entry& a, const Entry& b);
    std::string_view name(const Entry& entry) const;
    std::string_view memo(const Entry& entry) const;

    // m_entries[m_buckets[b] .. m_buckets[b + 1]) are the entries whose hash has the top bits
    // b: a query looks only there.
    std::size_t bucketOf(std::uint64_t keyHash) const { return keyHash >> m_bucketShift; }

    static constexpr int kMaxBucketBits = 22;

    std::vector<Entry> m_entries;
    std::vector<Entry> m_added; // not searched until merged
    std::vector<std::uint32_t> m_buckets;
    int m_bucketShift = 63;
    std::string m_texts;
};

// Relative half-width of the mjd window of the duplicate test.
constexpr double kDuplicateWindowLow = 0.99999;
constexpr double kDuplicateWindowHigh = 1.00001;

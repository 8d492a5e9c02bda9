#include "view/DepthOrder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// Reads what the depth keys need of a mesh, once.
struct DepthSource {
    DepthSource(const ProjectedMesh& mesh, const double modelview[16])
        : faces(mesh.faces.data()),
          px(mesh.projX.data()),
          py(mesh.projY.data()),
          pz(mesh.projZ.data()),
          vertexCount(std::min({mesh.projX.size(), mesh.projY.size(), mesh.projZ.size()})),
          m2(modelview[2]),
          m6(modelview[6]),
          m10(modelview[10])
    {
    }

    double Key(std::size_t f) const
    {
        const int32_t first = faces[f].i0;
        double key = 0.0;
        if (first >= 0 && static_cast<std::size_t>(first) < vertexCount) {
            key = m2 * px[first] + m6 * py[first] + m10 * pz[first];
        }
        // A NaN key would break a comparison sort's ordering requirement,
        // and std::sort may then run past the ends of the range.
        return std::isnan(key) ? 0.0 : key;
    }

    const Quad* faces;
    const double* px;
    const double* py;
    const double* pz;
    std::size_t vertexCount;
    double m2, m6, m10;
};

}  // namespace

void ComputeDepthKeys(const ProjectedMesh& mesh, const double modelview[16],
                      std::vector<double>& keys)
{
    const DepthSource source(mesh, modelview);
    keys.resize(mesh.faces.size());
    for (std::size_t f = 0; f < keys.size(); ++f) {
        keys[f] = source.Key(f);
    }
}

namespace {

// The painter's order by a comparison sort of the depth keys; `sort` is
// std::sort (the plain unstable comparison sort, the reference the radix sort
// is measured against: equal depths in no defined order) or std::stable_sort
// (equal depths in face order).
template <typename Sort>
void OrderByComparison(const ProjectedMesh& mesh, const double modelview[16],
                       std::vector<int32_t>& order, Sort sort)
{
    std::vector<double> keys;
    ComputeDepthKeys(mesh, modelview, keys);
    order.resize(keys.size());
    for (std::size_t f = 0; f < order.size(); ++f) {
        order[f] = static_cast<int32_t>(f);
    }
    sort(order.begin(), order.end(), [&keys](int32_t a, int32_t b) { return keys[a] < keys[b]; });
}

}  // namespace

void BuildBackToFrontOrderByComparison(const ProjectedMesh& mesh, const double modelview[16],
                                       std::vector<int32_t>& order)
{
    OrderByComparison(mesh, modelview, order, [](auto first, auto last, auto less) {
        std::sort(first, last, less);
    });
}

void BuildBackToFrontOrderStable(const ProjectedMesh& mesh, const double modelview[16],
                                 std::vector<int32_t>& order)
{
    OrderByComparison(mesh, modelview, order, [](auto first, auto last, auto less) {
        std::stable_sort(first, last, less);
    });
}

namespace {

// The radix sort's two word arrays, one pair per thread that sorts.
struct Workspace {
    std::vector<uint64_t> words;
    std::vector<uint64_t> spare;
};

Workspace& OrderWorkspace()
{
    thread_local Workspace workspace;
    return workspace;
}

// A double's bits rearranged so that unsigned comparison agrees with <:
// negative numbers have all bits flipped (larger magnitude, smaller key),
// the others only the sign bit. Both zeros map to the key of +0, NaN too.
inline uint64_t OrderedBits(double value)
{
    if (value == 0.0 || std::isnan(value)) {
        value = 0.0;
    }
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr uint64_t kSign = uint64_t{1} << 63;
    return (bits & kSign) != 0 ? ~bits : bits | kSign;
}

// 1024 buckets a pass: with 2048 the scattered writes go to more pages than
// the processor's address cache holds, and each pass took twice as long.
constexpr int kDigitBits = 10;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr uint64_t kDigitMask = kBuckets - 1;
// Three digits: enough resolution that keys which differ rarely share a sort
// key, at half the passes that sorting whole doubles would take.
constexpr int kSortKeyBits = 3 * kDigitBits;

struct FullKey {
    double key;
    uint32_t index;
};

// Sorts 0 ... count - 1 by keyOf(i) (a double, never NaN), equal keys by
// index. Each key is mapped to a sort key of kSortKeyBits bits by a map that
// never reverses an order: linearly over the keys' range when that is
// finite, else through the top bits of the double's ordered bit pattern. Each
// element becomes one 64-bit word, the sort key above the element's index,
// and an LSD radix sort over the sort-key digits orders the words by (sort
// key, index). Runs of words that share a sort key but may differ in their whole
// keys are then put in order by the whole keys, which keyOf recomputes; over
// 2^30 levels such runs are rare apart from equal depths. The index takes at
// most 32 bits, so the sort key always keeps all kSortKeyBits.
template <typename KeyOf>
void SortByKey(std::size_t count, const KeyOf& keyOf, std::vector<int32_t>& order)
{
    order.resize(count);
    if (count == 0) {
        return;
    }
    int indexBits = 1;
    while (indexBits < 32 && (std::size_t{1} << indexBits) < count) {
        ++indexBits;
    }
    const int sortBits = std::min(kSortKeyBits, 64 - indexBits);
    const int passes = (sortBits + kDigitBits - 1) / kDigitBits;
    const uint64_t indexMask = (uint64_t{1} << indexBits) - 1;
    const uint64_t topLevel = (uint64_t{1} << sortBits) - 1;

    // The two word arrays stay allocated from one frame to the next (16
    // bytes a face while a translucent figure is shown): fresh pages cost a
    // fault each on first touch, which took 40 % of the sort at a million
    // faces. They shrink with the mesh like every array.
    std::vector<uint64_t>& wordStore = OrderWorkspace().words;
    std::vector<uint64_t>& spareStore = OrderWorkspace().spare;
    ResizeArray(wordStore, count);
    ResizeArray(spareStore, count);
    uint64_t* const words = wordStore.data();
    uint64_t* const spare = spareStore.data();

    // The keys wait in `words`, bit for bit, while their range is found.
    double low = keyOf(0);
    double high = low;
    for (std::size_t i = 0; i < count; ++i) {
        const double k = keyOf(i);
        std::memcpy(&words[i], &k, sizeof k);
        low = std::min(low, k);
        high = std::max(high, k);
    }
    // Linear over the range where that is a finite, usable scale: not for an
    // infinite range, nor for one so small (subnormal) that the scale would
    // overflow.
    const double range = high - low;
    const double scale =
        std::isfinite(range) && range > 0.0 ? static_cast<double>(topLevel) / range : 0.0;
    const bool linear = std::isfinite(scale) && scale > 0.0;
    const auto sortKey = [&](double k) -> uint64_t {
        if (linear) {
            // (k - low) and the product are rounded monotonically, so a
            // larger key never gets a smaller level.
            const double level = (k - low) * scale;
            return level >= static_cast<double>(topLevel) ? topLevel
                                                          : static_cast<uint64_t>(level);
        }
        return OrderedBits(k) >> (64 - sortBits);
    };

    std::vector<uint32_t> histogram(static_cast<std::size_t>(passes) * kBuckets, 0);
    for (std::size_t i = 0; i < count; ++i) {
        double k;
        std::memcpy(&k, &words[i], sizeof k);
        const uint64_t part = sortKey(k);
        words[i] = (part << indexBits) | i;
        for (int pass = 0; pass < passes; ++pass) {
            ++histogram[pass * kBuckets + ((part >> (pass * kDigitBits)) & kDigitMask)];
        }
    }

    uint64_t* from = words;
    uint64_t* to = spare;
    for (int pass = 0; pass < passes; ++pass) {
        uint32_t* counts = histogram.data() + pass * kBuckets;
        const int shift = indexBits + pass * kDigitBits;
        // A digit every key shares needs no pass.
        if (counts[(from[0] >> shift) & kDigitMask] == count) {
            continue;
        }
        uint32_t sum = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            const uint32_t c = counts[b];
            counts[b] = sum;
            sum += c;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const uint64_t word = from[i];
            to[counts[(word >> shift) & kDigitMask]++] = word;
        }
        std::swap(from, to);
    }

    int32_t* out = order.data();
    std::vector<FullKey> run;
    std::size_t begin = 0;
    while (begin < count) {
        const uint64_t part = from[begin] >> indexBits;
        std::size_t end = begin + 1;
        while (end < count && (from[end] >> indexBits) == part) {
            ++end;
        }
        if (end - begin == 1) {
            out[begin] = static_cast<int32_t>(from[begin] & indexMask);
        } else {
            run.clear();
            for (std::size_t i = begin; i < end; ++i) {
                const uint32_t index = static_cast<uint32_t>(from[i] & indexMask);
                run.push_back({keyOf(index), index});
            }
            std::sort(run.begin(), run.end(), [](const FullKey& a, const FullKey& b) {
                return a.key < b.key || (a.key == b.key && a.index < b.index);
            });
            for (std::size_t i = begin; i < end; ++i) {
                out[i] = static_cast<int32_t>(run[i - begin].index);
            }
        }
        begin = end;
    }
}

}  // namespace

void BuildBackToFrontOrder(const ProjectedMesh& mesh, const double modelview[16],
                           std::vector<int32_t>& order)
{
    // The keys are recomputed where needed rather than stored: cheaper in
    // memory than an array of them, and as exact.
    const DepthSource source(mesh, modelview);
    SortByKey(
        mesh.faces.size(), [&source](std::size_t f) { return source.Key(f); }, order);
}

void RadixSortOrder(const std::vector<double>& keys, std::vector<int32_t>& order)
{
    const double* k = keys.data();
    // NaN sorts as 0, as the mesh order does.
    SortByKey(
        keys.size(), [k](std::size_t i) { return std::isnan(k[i]) ? 0.0 : k[i]; }, order);
}

void ReleaseOrderWorkspace()
{
    Workspace& w = OrderWorkspace();
    std::vector<uint64_t>().swap(w.words);
    std::vector<uint64_t>().swap(w.spare);
}

std::size_t OrderWorkspaceBytes()
{
    const Workspace& w = OrderWorkspace();
    return (w.words.capacity() + w.spare.capacity()) * sizeof(uint64_t);
}

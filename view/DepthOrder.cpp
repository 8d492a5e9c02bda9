#include "view/DepthOrder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

void ComputeDepthKeys(const ProjectedMesh& mesh, const double modelview[16],
                      std::vector<double>& keys)
{
    const std::size_t faceCount = mesh.faces.size();
    const std::size_t vertexCount =
        std::min({mesh.projX.size(), mesh.projY.size(), mesh.projZ.size()});
    const double m2 = modelview[2];
    const double m6 = modelview[6];
    const double m10 = modelview[10];

    keys.resize(faceCount);
    const Quad* faces = mesh.faces.data();
    const double* px = mesh.projX.data();
    const double* py = mesh.projY.data();
    const double* pz = mesh.projZ.data();
    double* out = keys.data();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const int32_t first = faces[f].i0;
        double key = 0.0;
        if (first >= 0 && static_cast<std::size_t>(first) < vertexCount) {
            key = m2 * px[first] + m6 * py[first] + m10 * pz[first];
        }
        // A NaN key would break a comparison sort's ordering requirement,
        // and std::sort may then run past the ends of the range.
        out[f] = std::isnan(key) ? 0.0 : key;
    }
}

void BuildBackToFrontOrderByComparison(const ProjectedMesh& mesh, const double modelview[16],
                                       std::vector<int32_t>& order)
{
    std::vector<double> keys;
    ComputeDepthKeys(mesh, modelview, keys);
    order.resize(keys.size());
    for (std::size_t f = 0; f < order.size(); ++f) {
        order[f] = static_cast<int32_t>(f);
    }
    std::sort(order.begin(), order.end(),
              [&keys](int32_t a, int32_t b) { return keys[a] < keys[b]; });
}

void BuildBackToFrontOrderStable(const ProjectedMesh& mesh, const double modelview[16],
                                 std::vector<int32_t>& order)
{
    std::vector<double> keys;
    ComputeDepthKeys(mesh, modelview, keys);
    order.resize(keys.size());
    for (std::size_t f = 0; f < order.size(); ++f) {
        order[f] = static_cast<int32_t>(f);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int32_t a, int32_t b) { return keys[a] < keys[b]; });
}

void BuildBackToFrontOrder(const ProjectedMesh& mesh, const double modelview[16],
                           std::vector<int32_t>& order)
{
    std::vector<double> keys;
    ComputeDepthKeys(mesh, modelview, keys);
    RadixSortOrder(keys, order);
}

namespace {

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

struct Item {
    uint64_t key;
    uint32_t index;
};

constexpr int kDigitBits = 11;
constexpr int kPasses = (64 + kDigitBits - 1) / kDigitBits;  // 6
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr uint64_t kDigitMask = kBuckets - 1;

}  // namespace

void RadixSortOrder(const std::vector<double>& keys, std::vector<int32_t>& order)
{
    const std::size_t count = keys.size();
    order.resize(count);
    if (count == 0) {
        return;
    }

    std::vector<Item> items(count);
    std::vector<Item> spare(count);
    // All digit histograms in one pass; a digit that every key shares needs
    // no pass of its own.
    std::vector<uint32_t> histogram(kPasses * kBuckets, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const uint64_t key = OrderedBits(keys[i]);
        items[i] = {key, static_cast<uint32_t>(i)};
        for (int pass = 0; pass < kPasses; ++pass) {
            ++histogram[pass * kBuckets + ((key >> (pass * kDigitBits)) & kDigitMask)];
        }
    }

    Item* from = items.data();
    Item* to = spare.data();
    for (int pass = 0; pass < kPasses; ++pass) {
        uint32_t* counts = histogram.data() + pass * kBuckets;
        const uint64_t firstDigit = (from[0].key >> (pass * kDigitBits)) & kDigitMask;
        if (counts[firstDigit] == count) {
            continue;
        }
        // Bucket starts; each pass is stable, so earlier digits stay sorted.
        uint32_t sum = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            const uint32_t c = counts[b];
            counts[b] = sum;
            sum += c;
        }
        const int shift = pass * kDigitBits;
        for (std::size_t i = 0; i < count; ++i) {
            const Item item = from[i];
            to[counts[(item.key >> shift) & kDigitMask]++] = item;
        }
        std::swap(from, to);
    }

    int32_t* out = order.data();
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<int32_t>(from[i].index);
    }
}

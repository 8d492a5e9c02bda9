#include "resources/DialogFit.h"

#include <algorithm>
#include <numeric>

namespace {

struct Gap {
    int at;     // the layout's x where it opens
    int width;
};

// How far a point of the layout moves: every gap at or before it.
int Shift(const std::vector<Gap>& gaps, int x)
{
    int shift = 0;
    for (const Gap& gap : gaps) {
        if (gap.at <= x) {
            shift += gap.width;
        }
    }
    return shift;
}

}  // namespace

int WidenToFit(std::vector<FitBox>& boxes)
{
    // Narrowest right edge first: a gap opened for one box also widens the
    // boxes that span it, which may then need no gap of their own.
    std::vector<std::size_t> order(boxes.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&boxes](std::size_t a, std::size_t b) {
        return boxes[a].x + boxes[a].width < boxes[b].x + boxes[b].width;
    });
    std::vector<Gap> gaps;
    for (std::size_t i : order) {
        const FitBox& box = boxes[i];
        const int right = box.x + box.width;
        const int has = right + Shift(gaps, right) - (box.x + Shift(gaps, box.x));
        if (box.needed > has) {
            gaps.push_back({right, box.needed - has});
        }
    }
    int total = 0;
    for (const Gap& gap : gaps) {
        total += gap.width;
    }
    for (FitBox& box : boxes) {
        const int right = box.x + box.width;
        const int x = box.x + Shift(gaps, box.x);
        box.width = right + Shift(gaps, right) - x;
        box.x = x;
    }
    return total;
}

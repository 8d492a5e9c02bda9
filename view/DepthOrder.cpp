#include "view/DepthOrder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

void BuildBackToFrontOrder(const ProjectedMesh& mesh, const double modelview[16],
                           std::vector<int32_t>& order)
{
    const std::size_t faceCount = mesh.faces.size();
    const std::size_t vertexCount =
        std::min({mesh.projX.size(), mesh.projY.size(), mesh.projZ.size()});

    std::vector<double> keys(faceCount);
    order.resize(faceCount);
    for (std::size_t f = 0; f < faceCount; ++f) {
        order[f] = static_cast<int32_t>(f);
        const int32_t first = mesh.faces[f].i0;
        double key = 0.0;
        if (first >= 0 && static_cast<std::size_t>(first) < vertexCount) {
            key = modelview[2] * mesh.projX[first] + modelview[6] * mesh.projY[first] +
                  modelview[10] * mesh.projZ[first];
        }
        // A NaN key would break the sort's ordering requirement, and std::sort
        // may then run past the ends of the range.
        keys[f] = std::isnan(key) ? 0.0 : key;
    }

    std::sort(order.begin(), order.end(),
              [&keys](int32_t a, int32_t b) { return keys[a] < keys[b]; });
}

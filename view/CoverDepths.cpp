#include "view/CoverDepths.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr double kShift = kCornerShiftPixels;

struct Corner {
    double x, y;
    double zLow, zHigh;  // bounds of the true depth
};

Corner CornerOf(const WindowPoints& p, int32_t v)
{
    const std::size_t i = static_cast<std::size_t>(v);
    const double steps = p.depth[i];
    return {p.xy[2 * i], p.xy[2 * i + 1], steps / kDepthSteps, (steps + 1.0) / kDepthSteps};
}

// +1 or -1: the way both of the face's triangles (as the renderer cuts it)
// surely turn, with every corner inside the viewport, well within the depth
// range and neither triangle steep; 0 when the face cannot be cover.
int CoverTurning(const std::array<Corner, 4>& c, const WindowPoints& p)
{
    for (const Corner& k : c) {
        const bool inside = k.x >= p.originX && k.x <= p.originX + p.width &&
                            k.y >= p.originY && k.y <= p.originY + p.height;
        if (!inside || !(k.zLow > kDepthMargin) || !(k.zHigh < 1.0 - kDepthMargin)) {
            return 0;  // also for coordinates that are not numbers
        }
    }
    const double x[4] = {c[0].x, c[1].x, c[2].x, c[3].x};
    const double y[4] = {c[0].y, c[1].y, c[2].y, c[3].y};
    const double z[4] = {c[0].zLow, c[1].zLow, c[2].zLow, c[3].zLow};
    const FaceShape shape = ShapeOfFace(x, y, z);
    const double first = shape.triangle[0].twiceArea;
    const double second = shape.triangle[1].twiceArea;
    if (!shape.triangle[0].sureTurning || !shape.triangle[1].sureTurning ||
        (first > 0.0) != (second > 0.0) || !shape.triangle[0].gentle ||
        !shape.triangle[1].gentle) {
        return 0;
    }
    return first > 0.0 ? 1 : -1;
}

// Scratch for one outline's rows: where the outline crosses each centre
// row, and the stretches of each row too near the outline to trust.
class OutlineRows {
public:
    void Reset(int firstRow, int rowCount, std::size_t edges)
    {
        first_ = firstRow;
        rows_ = rowCount;
        edges_ = edges;
        const std::size_t cells = static_cast<std::size_t>(rowCount) * edges;
        if (crossings_.size() < cells) {
            crossings_.resize(cells);
            near_.resize(cells);
        }
        if (crossingCount_.size() < static_cast<std::size_t>(rowCount)) {
            crossingCount_.resize(static_cast<std::size_t>(rowCount));
            nearCount_.resize(static_cast<std::size_t>(rowCount));
        }
        std::fill(crossingCount_.begin(), crossingCount_.begin() + rowCount, 0);
        std::fill(nearCount_.begin(), nearCount_.begin() + rowCount, 0);
    }

    // The outline's edge from a to b.
    void AddEdge(double ax, double ay, double bx, double by, double originY)
    {
        const double low = std::min(ay, by);
        const double high = std::max(ay, by);
        const int from = std::max(0, RowAtOrAbove(low - kShift, originY));
        const int to = std::min(rows_ - 1, RowAtOrBelow(high + kShift, originY));
        if (from > to) {
            return;
        }
        if (ay == by) {
            for (int r = from; r <= to; ++r) {
                AddNear(r, std::min(ax, bx) - kShift, std::max(ax, bx) + kShift);
            }
            return;
        }
        const double slope = (bx - ax) / (by - ay);
        const double reach = kShift * (1.0 + std::abs(slope));
        const int direction = by > ay ? 1 : -1;
        for (int r = from; r <= to; ++r) {
            const double yc = CentreY(r, originY);
            if (yc >= low && yc < high) {
                // Half open, so that a vertex on the row counts once. Within
                // the shift of the row the edge stays within `reach`.
                const double x = ax + (yc - ay) * slope;
                const std::size_t row = static_cast<std::size_t>(r);
                crossings_[row * edges_ + crossingCount_[row]++] = {x, direction};
                AddNear(r, x - reach, x + reach);
            } else {
                // An end of the edge lies within the shift of the row.
                const double s0 = std::clamp((yc - kShift - ay) / (by - ay), 0.0, 1.0);
                const double s1 = std::clamp((yc + kShift - ay) / (by - ay), 0.0, 1.0);
                const double x0 = ax + s0 * (bx - ax);
                const double x1 = ax + s1 * (bx - ax);
                AddNear(r, std::min(x0, x1) - kShift, std::max(x0, x1) + kShift);
            }
        }
    }

    // Lowers cover to depth at every centre of the row that the outline
    // winds around and that lies clear of it.
    void Fill(int r, float depth, const WindowPoints& p, float* cover)
    {
        const std::size_t row = static_cast<std::size_t>(r);
        Crossing* c = &crossings_[row * edges_];
        const std::size_t n = crossingCount_[row];
        std::sort(c, c + n, [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        // The centres too near the outline: most stretches hold none.
        Stretch* near = &near_[row * edges_];
        std::size_t nearCount = 0;
        for (std::size_t j = 0; j < nearCount_[row]; ++j) {
            const double from = std::ceil(near[j].low - p.originX - 0.5);
            const double to = std::floor(near[j].high - p.originX - 0.5);
            if (from <= to) {
                near[nearCount++] = {from, to};
            }
        }
        float* line = cover + static_cast<std::size_t>(first_ + r) * static_cast<std::size_t>(p.width);
        int winding = 0;
        for (std::size_t i = 0; i + 1 < n; ++i) {
            winding += c[i].direction;
            if (winding == 0) {
                continue;
            }
            const int from = std::max(0, static_cast<int>(std::ceil(c[i].x - p.originX - 0.5)));
            const int to = std::min(p.width - 1,
                                    static_cast<int>(std::floor(c[i + 1].x - p.originX - 0.5)));
            for (int k = from; k <= to; ++k) {
                bool clear = true;
                for (std::size_t j = 0; j < nearCount && clear; ++j) {
                    clear = k < near[j].low || k > near[j].high;
                }
                if (clear) {
                    line[k] = std::min(line[k], depth);
                }
            }
        }
    }

private:
    struct Crossing {
        double x;
        int direction;
    };
    struct Stretch {
        double low, high;
    };

    double CentreY(int r, double originY) const { return originY + first_ + r + 0.5; }
    // The first row whose centre line lies at or above y, and the last at or
    // below, counted from the first row.
    int RowAtOrAbove(double y, double originY) const
    {
        return static_cast<int>(std::ceil(y - originY - 0.5)) - first_;
    }
    int RowAtOrBelow(double y, double originY) const
    {
        return static_cast<int>(std::floor(y - originY - 0.5)) - first_;
    }
    void AddNear(int r, double low, double high)
    {
        const std::size_t row = static_cast<std::size_t>(r);
        near_[row * edges_ + nearCount_[row]++] = {low, high};
    }

    int first_ = 0;
    int rows_ = 0;
    std::size_t edges_ = 0;
    std::vector<Crossing> crossings_;
    std::vector<Stretch> near_;
    std::vector<std::size_t> crossingCount_;
    std::vector<std::size_t> nearCount_;
};

// A block of faces: `wide` faces a row from face first, `high` rows of
// rowLength faces each (high 1: a strip of faces in a row).
struct Block {
    std::size_t first;
    std::size_t wide;
    std::size_t high;
    std::size_t rowLength;

    std::size_t Face(std::size_t row, std::size_t column) const
    {
        return first + row * rowLength + column;
    }
};

constexpr std::size_t kMostOutline = 4 * kStripFaces;

// The block's outline, turning the way its faces do: along the first row's
// first edges, up the last column's second edges, back along the last row's
// third edges and down the first column's fourth.
std::size_t BlockOutline(const ProjectedMesh& mesh, const Block& b, int32_t outline[kMostOutline])
{
    std::size_t n = 0;
    for (std::size_t j = 0; j < b.wide; ++j) {
        outline[n++] = mesh.faces[b.Face(0, j)].i0;
    }
    outline[n++] = mesh.faces[b.Face(0, b.wide - 1)].i1;
    for (std::size_t r = 0; r < b.high; ++r) {
        outline[n++] = mesh.faces[b.Face(r, b.wide - 1)].i2;
    }
    for (std::size_t j = b.wide; j-- > 0;) {
        outline[n++] = mesh.faces[b.Face(b.high - 1, j)].i3;
    }
    for (std::size_t r = b.high - 1; r-- > 0;) {
        outline[n++] = mesh.faces[b.Face(r, 0)].i3;
    }
    return n;
}

void FillBlock(const ProjectedMesh& mesh, const WindowPoints& p, const Block& b, double deepest,
               OutlineRows& rows, float* cover)
{
    int32_t outline[kMostOutline];
    const std::size_t n = BlockOutline(mesh, b, outline);
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = p.xy[2 * static_cast<std::size_t>(outline[i]) + 1];
        low = std::min(low, y);
        high = std::max(high, y);
    }
    const int firstRow = std::max(0, static_cast<int>(std::ceil(low - p.originY - 0.5)));
    const int lastRow =
        std::min(p.height - 1, static_cast<int>(std::floor(high - p.originY - 0.5)));
    if (firstRow > lastRow) {
        return;
    }
    rows.Reset(firstRow, lastRow - firstRow + 1, n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t a = static_cast<std::size_t>(outline[i]);
        const std::size_t c = static_cast<std::size_t>(outline[(i + 1) % n]);
        rows.AddEdge(p.xy[2 * a], p.xy[2 * a + 1], p.xy[2 * c], p.xy[2 * c + 1], p.originY);
    }
    // Rounded up to single precision, so that the bound still holds.
    const float depth = std::nextafter(static_cast<float>(deepest + 0.5 * kDepthMargin),
                                       std::numeric_limits<float>::infinity());
    for (int r = 0; r <= lastRow - firstRow; ++r) {
        rows.Fill(r, depth, p, cover);
    }
}

// A face's turning (see CoverTurning) and deepest corner.
struct FaceCover {
    int turning;
    double deepest;
};

FaceCover FaceAsCover(const ProjectedMesh& mesh, const WindowPoints& p, std::size_t f)
{
    const Quad& q = mesh.faces[f];
    const std::array<Corner, 4> c = {CornerOf(p, q.i0), CornerOf(p, q.i1), CornerOf(p, q.i2),
                                     CornerOf(p, q.i3)};
    return {CoverTurning(c, p),
            std::max(std::max(c[0].zHigh, c[1].zHigh), std::max(c[2].zHigh, c[3].zHigh))};
}

// Whether face g continues face f along a row (sharing f's second edge) or
// up a column (sharing f's third edge).
bool FollowsInRow(const ProjectedMesh& mesh, std::size_t f, std::size_t g)
{
    return mesh.faces[g].i0 == mesh.faces[f].i1 && mesh.faces[g].i3 == mesh.faces[f].i2;
}

bool FollowsInColumn(const ProjectedMesh& mesh, std::size_t f, std::size_t g)
{
    return mesh.faces[g].i0 == mesh.faces[f].i3 && mesh.faces[g].i1 == mesh.faces[f].i2;
}

// Covers with the faces [first, first + count) of one row, in strips of
// faces that turn alike; faces[k] is face first + k as cover.
void FillStrips(const ProjectedMesh& mesh, const WindowPoints& p, std::size_t first,
                std::size_t count, const FaceCover* faces, OutlineRows& rows, float* cover)
{
    std::size_t start = 0;  // the strip being gathered: [start, k)
    for (std::size_t k = 1; k <= count; ++k) {
        const bool joins = k < count && faces[k].turning != 0 && k - start < kStripFaces &&
                           faces[k].turning == faces[start].turning &&
                           FollowsInRow(mesh, first + k - 1, first + k);
        if (joins) {
            continue;
        }
        if (faces[start].turning != 0) {
            double deepest = 0.0;
            for (std::size_t j = start; j < k; ++j) {
                deepest = std::max(deepest, faces[j].deepest);
            }
            FillBlock(mesh, p, Block{first + start, k - start, 1, 0}, deepest, rows, cover);
        }
        start = k;
    }
}

constexpr std::size_t kBlockFaces = kStripFaces * kStripFaces;

// The same for faces in storage order, with no grid to go by.
void FillStripsInOrder(const ProjectedMesh& mesh, const WindowPoints& p, std::size_t first,
                       std::size_t count, OutlineRows& rows, float* cover)
{
    FaceCover faces[kBlockFaces];
    for (std::size_t begin = 0; begin < count; begin += kBlockFaces) {
        const std::size_t n = std::min(kBlockFaces, count - begin);
        for (std::size_t k = 0; k < n; ++k) {
            faces[k] = FaceAsCover(mesh, p, first + begin + k);
        }
        FillStrips(mesh, p, first + begin, n, faces, rows, cover);
    }
}

// Covers with a block as a whole where all its faces turn alike and join
// as a grid, else row by row in strips.
void FillGridBlock(const ProjectedMesh& mesh, const WindowPoints& p, const Block& b,
                   OutlineRows& rows, float* cover)
{
    FaceCover faces[kBlockFaces];
    double deepest = 0.0;
    bool whole = true;
    for (std::size_t r = 0; r < b.high; ++r) {
        for (std::size_t j = 0; j < b.wide; ++j) {
            const std::size_t f = b.Face(r, j);
            const FaceCover& face = faces[r * b.wide + j] = FaceAsCover(mesh, p, f);
            whole = whole && face.turning != 0 && face.turning == faces[0].turning &&
                    (j == 0 || FollowsInRow(mesh, f - 1, f)) &&
                    (r == 0 || FollowsInColumn(mesh, f - b.rowLength, f));
            deepest = std::max(deepest, face.deepest);
        }
    }
    if (whole) {
        FillBlock(mesh, p, b, deepest, rows, cover);
        return;
    }
    for (std::size_t r = 0; r < b.high; ++r) {
        FillStrips(mesh, p, b.Face(r, 0), b.wide, faces + r * b.wide, rows, cover);
    }
}

}  // namespace

std::size_t GridRowLength(const ProjectedMesh& mesh)
{
    for (std::size_t f = 1; f < mesh.faces.size(); ++f) {
        if (FollowsInColumn(mesh, 0, f)) {
            return f;
        }
    }
    return 0;
}

void FillCoverDepths(const ProjectedMesh& mesh, const WindowPoints& points,
                     std::size_t rowLength, std::size_t firstFace, std::size_t endFace,
                     std::vector<float>& cover)
{
    const std::size_t pixels =
        static_cast<std::size_t>(points.width) * static_cast<std::size_t>(points.height);
    ResizeArray(cover, pixels);
    std::fill(cover.begin(), cover.end(), std::numeric_limits<float>::infinity());
    OutlineRows rows;
    if (rowLength == 0) {
        FillStripsInOrder(mesh, points, firstFace, endFace - firstFace, rows, cover.data());
        return;
    }
    // Blocks of kStripFaces rows and columns, narrower at the end of a row
    // and lower at the end of the range; strips in what is left of a row.
    const std::size_t rowsEnd = firstFace + (endFace - firstFace) / rowLength * rowLength;
    for (std::size_t row = firstFace; row < rowsEnd; row += kStripFaces * rowLength) {
        const std::size_t high = std::min(kStripFaces, (rowsEnd - row) / rowLength);
        for (std::size_t column = 0; column < rowLength; column += kStripFaces) {
            const Block b{row + column, std::min(kStripFaces, rowLength - column), high, rowLength};
            FillGridBlock(mesh, points, b, rows, cover.data());
        }
    }
    FillStripsInOrder(mesh, points, rowsEnd, endFace - rowsEnd, rows, cover.data());
}

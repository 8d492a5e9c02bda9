#include "view/ProjectionKernels.h"

#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TARVO_WIDE_KERNELS 1
#include <immintrin.h>
#define TARVO_AVX2 __attribute__((target("avx2")))
#else
#define TARVO_WIDE_KERNELS 0
#endif

namespace {

void VerticesPortable(const VertexPass& p, std::size_t begin, std::size_t end)
{
    // Local copies: the compiler cannot otherwise rule out that the output
    // arrays overlap the matrix, and would reload it every vertex.
    const double m0 = p.m[0], m1 = p.m[1], m2 = p.m[2];
    const double m3 = p.m[3], m4 = p.m[4], m5 = p.m[5];
    const double m6 = p.m[6], m7 = p.m[7], m8 = p.m[8];
    const double m9 = p.m[9], m10 = p.m[10], m11 = p.m[11];
    for (std::size_t i = begin; i < end; ++i) {
        const double x = p.x[i];
        const double y = p.y[i];
        const double z = p.z[i];
        const double w = p.w[i];
        p.px[i] = x * m0 + y * m3 + z * m6 + w * m9;
        p.py[i] = x * m1 + y * m4 + z * m7 + w * m10;
        p.pz[i] = x * m2 + y * m5 + z * m8 + w * m11;
    }
}

inline bool InRange(int32_t index, std::size_t count)
{
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

// The draw vertex a face starting on its own vertex writes: its normal and
// that vertex's position, converted as OpenGL converts doubles.
inline DrawVertex OwnDrawVertex(const FacePass& p, std::size_t f, double nx, double ny, double nz)
{
    return {static_cast<float>(nx),    static_cast<float>(ny),    static_cast<float>(nz),
            static_cast<float>(p.px[f]), static_cast<float>(p.py[f]), static_cast<float>(p.pz[f])};
}

bool FacesPortable(const FacePass& p, std::size_t begin, std::size_t end, bool& ownStart)
{
    for (std::size_t f = begin; f < end; ++f) {
        const Quad q = p.in[f];
        if (!InRange(q.i0, p.vertexCount) || !InRange(q.i1, p.vertexCount) ||
            !InRange(q.i2, p.vertexCount) || !InRange(q.i3, p.vertexCount)) {
            return false;
        }
        p.copy[f] = q;
        double nx;
        double ny;
        double nz;
        QuadNormal(p.px, p.py, p.pz, static_cast<std::size_t>(q.i0),
                   static_cast<std::size_t>(q.i1), static_cast<std::size_t>(q.i2),
                   static_cast<std::size_t>(q.i3), nx, ny, nz);
        p.nx[f] = nx;
        p.ny[f] = ny;
        p.nz[f] = nz;
        if (p.draw != nullptr) {
            if (static_cast<std::size_t>(q.i0) == f) {
                p.draw[f] = OwnDrawVertex(p, f, nx, ny, nz);
            } else {
                ownStart = false;
            }
        }
    }
    return true;
}

#if TARVO_WIDE_KERNELS

// px[index[k]] for k = 0 ... 3. Four plain loads: on the processors at
// hand they beat the AVX2 gather instruction.
TARVO_AVX2 inline __m256d Gather(const double* px, __m128i index)
{
    return _mm256_set_pd(px[_mm_extract_epi32(index, 3)], px[_mm_extract_epi32(index, 2)],
                         px[_mm_extract_epi32(index, 1)], px[_mm_extract_epi32(index, 0)]);
}

TARVO_AVX2 void VerticesWide(const VertexPass& p, std::size_t begin, std::size_t end)
{
    const __m256d m0 = _mm256_set1_pd(p.m[0]), m1 = _mm256_set1_pd(p.m[1]);
    const __m256d m2 = _mm256_set1_pd(p.m[2]), m3 = _mm256_set1_pd(p.m[3]);
    const __m256d m4 = _mm256_set1_pd(p.m[4]), m5 = _mm256_set1_pd(p.m[5]);
    const __m256d m6 = _mm256_set1_pd(p.m[6]), m7 = _mm256_set1_pd(p.m[7]);
    const __m256d m8 = _mm256_set1_pd(p.m[8]), m9 = _mm256_set1_pd(p.m[9]);
    const __m256d m10 = _mm256_set1_pd(p.m[10]), m11 = _mm256_set1_pd(p.m[11]);
    std::size_t i = begin;
    for (; i + 4 <= end; i += 4) {
        const __m256d x = _mm256_loadu_pd(p.x + i);
        const __m256d y = _mm256_loadu_pd(p.y + i);
        const __m256d z = _mm256_loadu_pd(p.z + i);
        const __m256d w = _mm256_loadu_pd(p.w + i);
        // ((x m0 + y m3) + z m6) + w m9, as the portable loop adds. Plain
        // stores: the face pass reads these right away, from the cache if
        // they are still there.
        _mm256_storeu_pd(p.px + i, _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, m0),
                                                                             _mm256_mul_pd(y, m3)),
                                                               _mm256_mul_pd(z, m6)),
                                                 _mm256_mul_pd(w, m9)));
        _mm256_storeu_pd(p.py + i, _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, m1),
                                                                             _mm256_mul_pd(y, m4)),
                                                               _mm256_mul_pd(z, m7)),
                                                 _mm256_mul_pd(w, m10)));
        _mm256_storeu_pd(p.pz + i, _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, m2),
                                                                             _mm256_mul_pd(y, m5)),
                                                               _mm256_mul_pd(z, m8)),
                                                 _mm256_mul_pd(w, m11)));
    }
    VerticesPortable(p, i, end);
}

// The draw vertices of faces f ... f + 3, each starting on its own vertex,
// from their normals and first corners: 24 floats in six stores.
TARVO_AVX2 inline void PutOwnDrawVertices(DrawVertex* out, __m256d nx, __m256d ny, __m256d nz,
                                          __m256d x, __m256d y, __m256d z)
{
    const __m128 fnx = _mm256_cvtpd_ps(nx), fny = _mm256_cvtpd_ps(ny);
    const __m128 fnz = _mm256_cvtpd_ps(nz), fx = _mm256_cvtpd_ps(x);
    const __m128 fy = _mm256_cvtpd_ps(y), fz = _mm256_cvtpd_ps(z);
    const __m128 a = _mm_unpacklo_ps(fnx, fny);  // nx0 ny0 nx1 ny1
    const __m128 b = _mm_unpackhi_ps(fnx, fny);  // nx2 ny2 nx3 ny3
    const __m128 c = _mm_unpacklo_ps(fnz, fx);   // nz0 x0 nz1 x1
    const __m128 d = _mm_unpackhi_ps(fnz, fx);   // nz2 x2 nz3 x3
    const __m128 e = _mm_unpacklo_ps(fy, fz);    // y0 z0 y1 z1
    const __m128 g = _mm_unpackhi_ps(fy, fz);    // y2 z2 y3 z3
    float* o = &out->nx;
    _mm_storeu_ps(o, _mm_movelh_ps(a, c));
    _mm_storeu_ps(o + 4, _mm_shuffle_ps(e, a, _MM_SHUFFLE(3, 2, 1, 0)));
    _mm_storeu_ps(o + 8, _mm_movehl_ps(e, c));
    _mm_storeu_ps(o + 12, _mm_movelh_ps(b, d));
    _mm_storeu_ps(o + 16, _mm_shuffle_ps(g, b, _MM_SHUFFLE(3, 2, 1, 0)));
    _mm_storeu_ps(o + 20, _mm_movehl_ps(g, d));
}

TARVO_AVX2 bool FacesWide(const FacePass& p, std::size_t begin, std::size_t end, bool& ownStart)
{
    // An index is in range when, read as unsigned, it is at most the last
    // vertex; AVX2 compares only signed, so both sides are shifted by 2^31.
    // A vertex count beyond 32 bits admits every non-negative index.
    const std::size_t limit = p.vertexCount < 0xFFFFFFFFu ? p.vertexCount : 0xFFFFFFFFu;
    if (limit == 0 || end - begin < 4) {
        return FacesPortable(p, begin, end, ownStart);
    }
    const __m128i bias = _mm_set1_epi32(INT32_MIN);
    const __m128i lastBiased = _mm_xor_si128(
        _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(limit - 1))), bias);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d largest = _mm256_set1_pd(std::numeric_limits<double>::max());

    std::size_t f = begin;
    for (; f + 4 <= end; f += 4) {
        const __m128i* quads = reinterpret_cast<const __m128i*>(p.in + f);
        const __m128i q0 = _mm_loadu_si128(quads);
        const __m128i q1 = _mm_loadu_si128(quads + 1);
        const __m128i q2 = _mm_loadu_si128(quads + 2);
        const __m128i q3 = _mm_loadu_si128(quads + 3);
        // Corner k of the four faces side by side.
        const __m128i t0 = _mm_unpacklo_epi32(q0, q1);
        const __m128i t1 = _mm_unpacklo_epi32(q2, q3);
        const __m128i t2 = _mm_unpackhi_epi32(q0, q1);
        const __m128i t3 = _mm_unpackhi_epi32(q2, q3);
        const __m128i i0 = _mm_unpacklo_epi64(t0, t1);
        const __m128i i1 = _mm_unpackhi_epi64(t0, t1);
        const __m128i i2 = _mm_unpacklo_epi64(t2, t3);
        const __m128i i3 = _mm_unpackhi_epi64(t2, t3);
        const __m128i outside = _mm_or_si128(
            _mm_or_si128(_mm_cmpgt_epi32(_mm_xor_si128(i0, bias), lastBiased),
                         _mm_cmpgt_epi32(_mm_xor_si128(i1, bias), lastBiased)),
            _mm_or_si128(_mm_cmpgt_epi32(_mm_xor_si128(i2, bias), lastBiased),
                         _mm_cmpgt_epi32(_mm_xor_si128(i3, bias), lastBiased)));
        if (_mm_movemask_epi8(outside) != 0) {
            return false;
        }

        const __m256d x0 = Gather(p.px, i0);
        const __m256d y0 = Gather(p.py, i0);
        const __m256d z0 = Gather(p.pz, i0);
        const __m256d x1 = Gather(p.px, i1);
        const __m256d y1 = Gather(p.py, i1);
        const __m256d z1 = Gather(p.pz, i1);
        const __m256d x2 = Gather(p.px, i2);
        const __m256d y2 = Gather(p.py, i2);
        const __m256d z2 = Gather(p.pz, i2);
        const __m256d x3 = Gather(p.px, i3);
        const __m256d y3 = Gather(p.py, i3);
        const __m256d z3 = Gather(p.pz, i3);

        // QuadNormal, four at a time.
        const __m256d ax = _mm256_sub_pd(x2, x0);
        const __m256d ay = _mm256_sub_pd(y2, y0);
        const __m256d az = _mm256_sub_pd(z2, z0);
        const __m256d bx = _mm256_sub_pd(x3, x1);
        const __m256d by = _mm256_sub_pd(y3, y1);
        const __m256d bz = _mm256_sub_pd(z3, z1);
        const __m256d cx = _mm256_sub_pd(_mm256_mul_pd(ay, bz), _mm256_mul_pd(az, by));
        const __m256d cy = _mm256_sub_pd(_mm256_mul_pd(az, bx), _mm256_mul_pd(ax, bz));
        const __m256d cz = _mm256_sub_pd(_mm256_mul_pd(ax, by), _mm256_mul_pd(ay, bx));
        const __m256d length = _mm256_sqrt_pd(
            _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(cx, cx), _mm256_mul_pd(cy, cy)),
                          _mm256_mul_pd(cz, cz)));
        // Ordered comparisons: a NaN length fails both.
        const __m256d usable = _mm256_and_pd(_mm256_cmp_pd(length, zero, _CMP_GT_OQ),
                                             _mm256_cmp_pd(length, largest, _CMP_LE_OQ));
        // Where there is no direction, (0, 0, 1) comes out as 0/1, 0/1, 1/1.
        const __m256d divisor = _mm256_blendv_pd(one, length, usable);
        const __m256d nx = _mm256_div_pd(_mm256_and_pd(cx, usable), divisor);
        const __m256d ny = _mm256_div_pd(_mm256_and_pd(cy, usable), divisor);
        const __m256d nz = _mm256_div_pd(_mm256_blendv_pd(one, cz, usable), divisor);

        __m128i* copy = reinterpret_cast<__m128i*>(p.copy + f);
        _mm_storeu_si128(copy, q0);
        _mm_storeu_si128(copy + 1, q1);
        _mm_storeu_si128(copy + 2, q2);
        _mm_storeu_si128(copy + 3, q3);
        _mm256_storeu_pd(p.nx + f, nx);
        _mm256_storeu_pd(p.ny + f, ny);
        _mm256_storeu_pd(p.nz + f, nz);
        if (p.draw != nullptr) {
            const __m128i own = _mm_cmpeq_epi32(
                i0, _mm_add_epi32(_mm_set1_epi32(static_cast<int32_t>(f)), _mm_setr_epi32(0, 1, 2, 3)));
            if (f <= static_cast<std::size_t>(INT32_MAX) - 3 && _mm_movemask_epi8(own) == 0xFFFF) {
                PutOwnDrawVertices(p.draw + f, nx, ny, nz, x0, y0, z0);
            } else {
                // Lane by lane, as the portable loop does.
                alignas(32) double n[3][4];
                _mm256_store_pd(n[0], nx);
                _mm256_store_pd(n[1], ny);
                _mm256_store_pd(n[2], nz);
                for (std::size_t k = 0; k < 4; ++k) {
                    if (static_cast<std::size_t>(p.in[f + k].i0) == f + k) {
                        p.draw[f + k] = OwnDrawVertex(p, f + k, n[0][k], n[1][k], n[2][k]);
                    } else {
                        ownStart = false;
                    }
                }
            }
        }
    }
    return FacesPortable(p, f, end, ownStart);
}

bool WideAvailable()
{
    static const bool available = __builtin_cpu_supports("avx2") != 0;
    return available;
}

#endif  // TARVO_WIDE_KERNELS

}  // namespace

ProjectionKernel BestProjectionKernel()
{
#if TARVO_WIDE_KERNELS
    return WideAvailable() ? ProjectionKernel::Wide : ProjectionKernel::Portable;
#else
    return ProjectionKernel::Portable;
#endif
}

void ProjectVertices(const VertexPass& pass, std::size_t begin, std::size_t end,
                     ProjectionKernel kernel)
{
#if TARVO_WIDE_KERNELS
    if (kernel == ProjectionKernel::Wide && WideAvailable()) {
        VerticesWide(pass, begin, end);
        return;
    }
#endif
    (void)kernel;
    VerticesPortable(pass, begin, end);
}

bool ProjectFaces(const FacePass& pass, std::size_t begin, std::size_t end,
                  ProjectionKernel kernel, bool* ownStart)
{
    bool own = true;
    bool inRange;
#if TARVO_WIDE_KERNELS
    if (kernel == ProjectionKernel::Wide && WideAvailable()) {
        inRange = FacesWide(pass, begin, end, own);
    } else
#endif
    {
        (void)kernel;
        inRange = FacesPortable(pass, begin, end, own);
    }
    if (ownStart != nullptr && !own) {
        *ownStart = false;
    }
    return inRange;
}

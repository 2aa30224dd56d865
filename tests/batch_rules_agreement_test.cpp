// Every effect's batch rule against its movePoint, the straightforward scalar
// rule, for each instruction set this processor runs: random parameters,
// random points and the points where the rules decide by exact compares
// (centres, axes, the magnet's surface) or meet zeros, huge and non-finite
// coordinates. Prints the share of bit-identical floats and the largest
// distance in ulps per effect and set.
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "effect_harness.h"
#include "float_agreement.h"

namespace {
const char* nameOf(InstructionSet set) {
    return set == InstructionSet::sse2 ? "sse2" : set == InstructionSet::avx2 ? "avx2" : "avx512";
}

// Flags at random, scalars and bare values in 0..1, points within 8 of the origin.
void randomizeParameters(const RecordingParamHost& params, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), coordinate(-8.0f, 8.0f);
    for (const Registration& r : params.registrations()) {
        const std::string& n = r.name;
        if (n.ends_with("[b]"))
            *r.value = unit(random) < 0.5f ? 0.0f : 1.0f;
        else if (n.ends_with("[p3x]") || n.ends_with("[p3y]") || n.ends_with("[p3z]"))
            *r.value = coordinate(random);
        else
            *r.value = unit(random);
    }
}

// Mostly ordinary points; then the point parameters themselves, points on
// the axes through them at random and at `reach` distances, zeros, huge,
// tiny and non-finite coordinates.
std::vector<Vec3> pointsAround(const std::vector<Vec3>& anchors, const std::vector<float>& reach, std::mt19937& random,
                               size_t n) {
    std::uniform_real_distribution<float> coordinate(-12.0f, 12.0f);
    std::uniform_int_distribution<int> pick(0, 99);
    const float inf = std::numeric_limits<float>::infinity();
    const float odd[] = {0.0f, -0.0f, 1e30f, -1e30f, 1e-30f, inf, -inf, std::nanf("")};
    std::vector<Vec3> points;
    while (points.size() < n) {
        Vec3 p{coordinate(random), coordinate(random), coordinate(random)};
        const int kind = pick(random);
        if (kind < 12 && !anchors.empty()) {
            const Vec3 a = anchors[size_t(pick(random)) % anchors.size()];
            const float t = kind < 4                      ? 0.0f
                            : kind < 8 || reach.empty() ? p.x
                                                        : reach[size_t(pick(random)) % reach.size()];
            const int axis = pick(random) % 3;
            p = {a.x + (axis == 0 ? t : 0.0f), a.y + (axis == 1 ? t : 0.0f), a.z + (axis == 2 ? t : 0.0f)};
        } else if (kind < 16) {
            (&p.x)[pick(random) % 3] = odd[size_t(pick(random)) % std::size(odd)];
        }
        points.push_back(p);
    }
    return points;
}

// Twelve rounds of fresh parameters: over Vec3 arrays into a second array
// (as a curve, with its segment lengths, or as vertices), as a curve in
// place, over particle records in place, and into a second array of records.
template <class E>
Agreement agree(BatchRule<decltype(E::rule)> lanesOnSet, const AgreementRun& run, std::mt19937& random) {
    Agreement agreement;
    for (int round = 0; round < 12; ++round) {
        Hosted<E> h;
        E& fx = *h.fx;
        const RecordingParamHost& params = h.params;
        randomizeParameters(params, random);
        run.edit(params, round);
        fx.update(std::uniform_real_distribution<float>(0.1f, 9.0f)(random));
        fx.beginPass();
        std::vector<Vec3> anchors;
        for (const Registration& r : params.registrations())
            if (r.name.ends_with("[p3z]")) anchors.push_back({r.value[-2], r.value[-1], r.value[0]});
        const std::vector<Vec3> in = pointsAround(anchors, run.reach(fx), random, 4099);
        std::vector<Vec3> out(in.size());
        if (round % 4 == 3) {
            lanesOnSet(fx.rule, in.data(), out.data(), sizeof(Vec3), in.size(), nullptr);
        } else if (round % 4 == 0) {
            // As a curve, into a second array or in place (short curves gathered into one block): the
            // segment lengths between the moved points come along, as updateLengths has them.
            std::vector<float> lengths(in.size());
            if (round == 4) out = in;
            lanesOnSet(fx.rule, round == 4 ? out.data() : in.data(), out.data(), sizeof(Vec3), in.size(), lengths.data());
            for (size_t i = 0; i + 1 < in.size(); ++i) {
                const float d = float(std::sqrt(double(lengthSquared(difference(out[i + 1], out[i])))));
                EXPECT_TRUE(sameFloat(lengths[i], d == 0.0f ? 0.0001f : d)) << "segment " << i;
            }
        } else {
            // Particle records, in place or into a second array: the host words come along unchanged.
            std::vector<Particle> records, copy(in.size(), Particle{{-1, -1, -1}, 0u, 0u});
            for (size_t i = 0; i < in.size(); ++i) records.push_back({in[i], uint32_t(i), 0x7FC00001u});
            std::vector<Particle>& target = round % 4 == 1 ? records : copy;
            lanesOnSet(fx.rule, &records[0].position, &target[0].position, sizeof(Particle), records.size(), nullptr);
            for (size_t i = 0; i < in.size(); ++i) {
                out[i] = target[i].position;
                EXPECT_EQ(target[i].aux0, i);
                EXPECT_EQ(target[i].aux1, 0x7FC00001u);
            }
        }
        for (size_t i = 0; i < in.size(); ++i) agreement.add(movePoint(fx.rule, in[i]), out[i]);
    }
    return agreement;
}

}  // namespace

TEST(BatchRules, AgreeWithTheScalarRulesOnEveryInstructionSet) {
    for (InstructionSet set : kInstructionSets)
        forEachEffect([&]<class E>(int index, const char* name) {
            using Rule = decltype(E::rule);
            if constexpr (HasLanes<Rule>) {
                const BatchRule<Rule> lanes = kLanesOf<Rule>.forSet(set);
                ASSERT_TRUE(expectations().count(index)) << name << ": its test file registers no expectations";
                for (const AgreementRun& run : expectations().at(index).agreement) {
                    if (!lanes) break;
                    std::mt19937 random(2024);
                    const Agreement a = agree<E>(lanes, run, random);
                    std::printf("%-30s %-6s %zu floats, %.4f%% bit-identical, at most %lld ulp apart\n",
                                (name + std::string(run.variant)).c_str(), nameOf(set), a.values,
                                100.0 * a.identicalShare(), static_cast<long long>(a.maxUlp));
                    EXPECT_EQ(a.identical, a.values) << name << run.variant << " " << nameOf(set);
                }
            }
        });
}

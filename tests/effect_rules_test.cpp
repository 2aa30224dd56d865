// Points through one frame of an effect (edited before start, then one update),
// against values worked out by hand from the rules. The defaults of each effect
// move a point in EffectsThroughLibrary.
#include <cmath>

#include "effect_harness.h"

TEST(EffectRules, MovePointsWhereTheRulesPutThem) {
    struct Case {
        int index;
        Params edits;
        Vec3 p, want;
        double tolerance = 1e-4;
        float time = 1;
    };
    const float c5 = std::cos(0.5f), s5 = std::sin(0.5f), s = 1 / std::sqrt(3.0f);
    const Param still{"speed [s]", 0.5f};  // Cosine's clock stands at 0: the time phase is -2 pi
    const Vec3 p{1, 2, -3}, cosines{1 + c5, 2 + std::cos(1.0f), -3 + std::cos(1.5f)}, q{2, 3, -4};
    const float x = 0.31415927f, tanPhase = -0.062831855f;  // the tangent's time phase at clock value 0
    const int translate = kIndexOf<GenericTranslate>, scale = kIndexOf<GenericScale>,
              elipsoid = kIndexOf<GenericElipsoid>, twist = kIndexOf<GenericTwist>, cosine = kIndexOf<GenericCosine>;
    const Case cases[] = {
        {translate, {{"translation [p3]", kNaN, 1, 0}}, {1, 2, 3}, {1, 2, 3}, 0},  // no place: stays
        // Scale: x by 0.01 10000^size less the origin's x.
        {scale, {}, q, q, 6e-6},
        {scale, {{"size x [s]", 0.75f}}, q, {20, 3, -4}, 2.4e-5},
        {scale, {{"origin [p3]", 1, 1, 1}}, q, {0, 0, 0}, 4e-6},
        {scale, {{"size x [s]", 0.75f}, {"origin [p3]", 0.5f, -1, 0}}, q, {19, 6, -4}, 2.3e-5},
        {scale, {{"size x [s]", kNaN}}, q, q, 6e-6},  // no factor: points stay
        // Elipsoid: controls 0, 0.25, 0.5, 0.55, 0.75 give exponents 0.1, 0.338, 1, 1.235, 2.848; off the
        // axes each azimuth term of the direction is raised to the teta exponent, each polar term to phi's.
        {elipsoid, {{"power teta [s]", 0.5f}, {"power phi [s]", 0.5f}}, {3, -4, 12}, {3, -4, 12}, 2e-5},
        {elipsoid, {{"center [p3]", 1, -1, 2}}, {3, 1, 4}, {2.75765f, 0.75765f, 3.75765f}, 2e-5},  // 0.879 of it
        {elipsoid, {}, {-2, 1, -3}, {-1.72609f, 0.73324f, -2.84814f}, 2e-5},  // signs survive
        {elipsoid, {{"power teta [s]", 0}, {"power phi [s]", 0}}, {s, -s, s}, {0.94655f, -0.94655f, 0.94655f}, 2e-5},
        {elipsoid, {{"power teta [s]", 0.5f}, {"power phi [s]", 0}}, {1, 1, 1}, {1.20017f, 1.63947f, 1.20017f}, 2e-5},
        {elipsoid, {{"power teta [s]", 0}, {"power phi [s]", 0.5f}}, {1, 1, 1}, {1.36604f, 1, 1.36604f}, 2e-5},
        {elipsoid, {{"power teta [s]", 0.75f}, {"power phi [s]", 0.25f}, {"center [p3]", 0.5f, 0, -1}}, {-1, -2, 3},
         {0.26835f, -3.53091f, 2.78253f}, 2e-5},
        {elipsoid, {{"power phi [s]", kNaN}}, {1, 2, 3}, {1, 2, 3}, 2e-5},  // no exponent: in place
        // Twist: by default half a radian per unit of height about world y, from +x towards +z.
        {twist, {}, {2, 0, 0}, {2, 0, 0}},
        {twist, {}, {0, 2, 3}, {-3 * std::sin(1.0f), 2, 3 * std::cos(1.0f)}},
        {twist, {{"frequency [s]", 0}}, {1, 1, 0}, {std::cos(6.0f), 1, -std::sin(6.0f)}},  // minus six radians
        {twist, {{"rotate phase [s]", 1}}, {1, 1, 0}, {-c5, 1, -s5}},  // plus half a turn
        {twist, {{"rotate phase [s]", 0}}, {1, 1, 0}, {-c5, 1, -s5}},  // minus half a turn
        // axis y along axis x: switching "orthogonal" on puts every axis, and every point, on the centre
        {twist, {{"center [p3]", 1, 0, 0}, {"axis x [p3]", 1, 5, 0}, {"axis y [p3]", 1, 9, 0}}, {4, -5, 6}, {1, 0, 0}},
        // Cosine: each coordinate c moves by cos(0.5 c) along its frame axis.
        {cosine, {still}, {0, 0, 0}, {1, 1, 1}},
        // a shifted frame: the waves still read world coordinates
        {cosine, {still, {"center [p3]", 1, 0, 0}, {"axis x [p3]", 6, 0, 0}, {"axis y [p3]", 1, 5, 0},
                   {"axis z [p3]", 1, 0, 5}}, p, cosines},
        {cosine, {}, p, {1 - std::sin(0.5f), 2 - std::sin(1.0f), -3 + std::sin(1.5f)}, 1e-4, 1.25f},  // a quarter turn on
        {cosine, {still, {"intensity [s]", 1}}, {0, 0, 0}, {5, 5, 5}},
        {cosine, {still, {"intensity [s]", 0}}, {0, 0, 0}, {-5, -5, -5}},
        {cosine, {still, {"intensity [s]", 0.5f}, {"uniform scale [b]", 0}, {"axis x [p3]", 10, 0, 0}}, {1, 2, 3},
         {2, 2, 3}},
        {cosine, {still, {"intensity [s]", 0.5f}, {"orthogonal [b]", 0}, {"uniform scale [b]", 0},
                   {"axis y [p3]", 3, 4, 0}}, {0, 1, 0}, {0.48f, 0.64f, 0}},  // skewed y
        {cosine, {still, {"uniform freq [b]", 0}, {"frequence x", 1}, {"frequence y", 0}}, {x, 7, 1},
         {x + std::cos(5 * x), 8, cosines.x}},
        {cosine, {still, {"use tan [b]", 1}}, p,
         {1 + std::tan(0.1f + tanPhase), 2 + std::tan(0.2f + tanPhase), -3 + std::tan(-0.3f + tanPhase)}},
    };
    for (const Case& c : cases) {
        Hosted<> h(c.index, c.edits);
        h.fx->update(c.time);
        EXPECT_TRUE(near(h.move(c.p), c.want, c.tolerance)) << "case " << &c - cases;
    }
}

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "scene/host_vector.h"
#include "scene/particle_copy.h"
#include "test_host.h"

TEST(HostVectorCount, NullBeginIsEmptyWhateverTheOtherPointers) {
    Vec3 storage[4];
    EXPECT_EQ(count(HostVector<Vec3>{7u, storage, storage + 3, storage + 4}), 3u);
    EXPECT_EQ(count(HostVector<Vec3>{7u, nullptr, storage + 3, storage + 4}), 0u);
    EXPECT_EQ(count(static_cast<const HostVector<Vec3>*>(nullptr)), 0u);
}

TEST(ParticleCopy, OneBlockBitForBitInStorageThatIsKept) {
    std::vector<Particle> host = {{{1.0f, -2.0f, 3.5f}, 0xDEADBEEFu, 0xFFFFFFFFu},
                                  {{-0.0f, 1e-40f, 7.0f}, 0x7FC00001u, 0u},
                                  {{0.0f, 0.0f, 0.0f}, 1u, 0x80000000u}};
    HostVector<Particle> array = viewOf(host);
    ParticleSet copy{nullptr};
    copyFrom(copy, ParticleSet{&array});
    ASSERT_EQ(count(copy.particles), 3u);
    EXPECT_EQ(std::memcmp(copy.particles->begin, host.data(), 3 * sizeof(Particle)), 0);

    const Particle* storage = copy.particles->begin;
    array.end = array.begin + 2;  // fewer particles, then as many again
    copyFrom(copy, ParticleSet{&array});
    EXPECT_EQ(count(copy.particles), 2u);
    array.end = array.begin + 3;
    copyFrom(copy, ParticleSet{&array});
    EXPECT_EQ(copy.particles->begin, storage);
    EXPECT_EQ(std::memcmp(copy.particles->begin, host.data(), 3 * sizeof(Particle)), 0);

    resize(copy, 50);  // growing keeps the leading particles
    ASSERT_EQ(count(copy.particles), 50u);
    EXPECT_EQ(std::memcmp(copy.particles->begin, host.data(), 3 * sizeof(Particle)), 0);
    release(copy);
    release(copy);
    EXPECT_EQ(copy.particles, nullptr);
}

TEST(ParticleCopy, AnEmptyOrAbsentSourceReleasesTheCopy) {
    std::vector<Particle> one = {{{1.0f, 2.0f, 3.0f}, 4u, 5u}};
    HostVector<Particle> full = viewOf(one), empty{0u, nullptr, nullptr, nullptr};
    for (HostVector<Particle>* emptied : {&empty, static_cast<HostVector<Particle>*>(nullptr)}) {
        ParticleSet copy{nullptr};
        copyFrom(copy, ParticleSet{&full});
        ASSERT_NE(copy.particles, nullptr);
        copyFrom(copy, ParticleSet{emptied});
        EXPECT_EQ(copy.particles, nullptr);
    }
}

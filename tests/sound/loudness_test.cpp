// How loud each emitter is where the listener stands, and in which ear: rendered through
// the loopback output and measured.
#include "tests/sound/sound_fixture.h"

#include <cmath>

class Loudness : public SoundTest {};

// The ramp from the inner to the outer ellipsoid, linear in decibels. The emitter sits at
// the origin with the ellipsoids 1 back, 4 in front (inner) and 10 back, 40 in front
// (outer); the listener stands on the axis at z = `distance`, looking at the emitter, so
// every case is panned alike and only the engine's gain differs. Facing +z puts the
// listener in front of the emitter, facing -z behind it.
TEST_F(Loudness, FollowsTheEllipsoidsFromFullIntensityToSilence)
{
    constexpr f64 kSilent = -1000.0;
    const struct {
        f32 facingZ;
        f32 distance;
        f32 intensity;
        f64 expectedDecibels;
    } cases[] = {
        {1, 4.0f, 1, 0.0},                // on the inner ellipsoid, in front: full intensity
        {1, 22.0f, 1, -10.0},             // halfway from 4 to 40: half of -20 dB
        {1, 40.0f, 1, -20.0},             // on the outer ellipsoid
        {1, 41.0f, 1, kSilent},           // beyond it
        {-1, 1.0f, 1, 0.0},               // behind, the inner ellipsoid reaches only 1
        {-1, 4.0f, 1, -20.0 * 3.0 / 9.0}, // where the front would still be at full intensity
        {-1, 5.5f, 1, -10.0},             // halfway from 1 to 10
        {-1, 11.0f, 1, kSilent},
        {1, 2.0f, 0.5f, -6.0206}, // the model's intensity scales the gain linearly
    };
    const std::string tone = writeWavTone("ramp.wav", 0.5);
    listener = makeListener();
    ASSERT_NE(listener, nullptr);
    void* emitter = playingEmitter(tone, {0, 0, 0}, {0, 0, 1}, modelRecord(1, 4, 10, 40, 1));
    ASSERT_NE(emitter, nullptr);
    moveListener({0, 0, 0.5f}); // inside both ellipsoids: the 0 dB reference
    skip(0.1);                  // gains glide to their new value over the first samples
    const f64 reference = listen(0.1).left;
    ASSERT_GT(reference, 0.01);
    for (const auto& c : cases) {
        const Vector direction{0, 0, c.facingZ};
        EXPECT_EQ(callSlot<HRESULT>(emitter, 14, direction.data()), S_OK);
        EXPECT_EQ(callSlot<HRESULT>(emitter, 12, modelRecord(1, 4, 10, 40, c.intensity).data()),
                  S_OK);
        moveListener({0, 0, c.distance});
        skip(0.1);
        const f64 level = listen(0.1).left;
        if (c.expectedDecibels == kSilent)
            EXPECT_LT(level, 1e-6) << "facing " << c.facingZ << ", at " << c.distance;
        else
            EXPECT_NEAR(decibels(level, reference), c.expectedDecibels, 0.25)
                << "facing " << c.facingZ << ", at " << c.distance;
    }
}

TEST_F(Loudness, ASoundOnOneSideIsLouderInThatEar)
{
    const struct {
        f32 x;
        bool leftLouder;
    } cases[] = {{-3.0f, true}, {3.0f, false}}; // the listener looks down -z: -x is its left
    const std::string tone = writeWavTone("side.wav", 0.5);
    listener = makeListener();
    ASSERT_NE(listener, nullptr);
    for (const auto& c : cases) {
        void* emitter = playingEmitter(tone, {c.x, 0, 0}, {0, 0, 1}, modelRecord(5, 5, 50, 50, 1));
        ASSERT_NE(emitter, nullptr);
        skip(0.1);
        const ChannelLevels heard = listen(0.1);
        const f64 nearEar = c.leftLouder ? heard.left : heard.right;
        const f64 farEar = c.leftLouder ? heard.right : heard.left;
        EXPECT_GT(nearEar, 0.01) << c.x;
        EXPECT_GT(nearEar, 2.0 * farEar) << c.x;
        release(emitter);
    }
}

TEST_F(Loudness, ANotSpatializedSoundPlaysCentredAtFullIntensityWhereverTheListenerIs)
{
    const std::string tone = writeWavTone("centred.wav", 0.5);
    listener = makeListener();
    ASSERT_NE(listener, nullptr);
    // The reference: a spatialized emitter straight ahead, inside its inner ellipsoid.
    void* ahead = playingEmitter(tone, {0, 0, -0.5f}, {0, 0, 1}, modelRecord(1, 1, 10, 10, 1));
    skip(0.1);
    const ChannelLevels reference = listen(0.1);
    release(ahead);
    // Far to the left, beyond its outer ellipsoid: spatialized, this would be silent.
    void* centred = playingEmitter(tone, {-30, 0, 0}, {0, 0, 1}, modelRecord(1, 1, 10, 10, 1), 0,
                                   /*flags: not spatialized*/ 1);
    ASSERT_NE(centred, nullptr);
    skip(0.1);
    const ChannelLevels heard = listen(0.1);
    EXPECT_NEAR(decibels(heard.left, reference.left), 0.0, 0.25);
    EXPECT_NEAR(decibels(heard.right, heard.left), 0.0, 0.1);
}

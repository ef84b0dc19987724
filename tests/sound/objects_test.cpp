// The engine as the plug-in meets it: registration, slot tables called by number,
// interfaces, reference counts, and who holds the output open.
#include "tests/sound/sound_fixture.h"

#include <limits>

class SoundObjects : public SoundTest {
protected:
    static bool outputOpen()
    {
        float frame[kSoundRenderChannels];
        return platformRenderSound(frame, 1);
    }
};

TEST_F(SoundObjects, ModesRegisterTheThreeClassesOrNone)
{
    const struct {
        const char* mode;
        bool accepted;
        HRESULT creation; // of the main object, after the call
    } cases[] = {
        {"device", true, S_OK},
        {"off", true, REGDB_E_CLASSNOTREG},
        {"loopback", true, S_OK},
        {"none", true, REGDB_E_CLASSNOTREG},
        {"loopback", true, S_OK},
        {"speakers", false, S_OK}, // refused: no change
        {nullptr, true, REGDB_E_CLASSNOTREG},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platformRegisterSoundEngine(c.mode), c.accepted) << (c.mode ? c.mode : "null");
        const char* classes[] = {kMainClass, kListenerClass, kEmitterClass};
        for (const char* classId : classes) {
            void* object = nullptr;
            EXPECT_EQ(create(classId, kUnknownInterface, &object), c.creation)
                << (c.mode ? c.mode : "null") << " " << classId;
            if (object) release(object);
        }
    }
}

// The factory the plug-in falls back on serves the three classes, registered or not,
// unless sound is off.
TEST_F(SoundObjects, TheEngineFactoryMakesItsClassesWhileSoundIsOn)
{
    const struct {
        const char* mode;
        const char* classId;
        HRESULT creation;
    } cases[] = {
        {"loopback", kMainClass, S_OK},
        {"device", kListenerClass, S_OK},
        {"loopback", kSecondInterface, CLASS_E_CLASSNOTAVAILABLE}, // not a class
        {"off", kEmitterClass, CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(platformRegisterSoundEngine(c.mode));
        void* object = nullptr;
        EXPECT_EQ(platformCreateSoundObject(guidOf(c.classId), IID_IUnknown, &object), c.creation)
            << c.mode << " " << c.classId;
        EXPECT_EQ(object != nullptr, c.creation == S_OK);
        if (object) release(object);
    }
}

// Each object answers IUnknown and its own interface, and nothing else, with one pointer.
TEST_F(SoundObjects, AnswerIUnknownAndTheirOwnInterfaceOnly)
{
    const struct {
        const char* classId;
        const char* own;
        const char* foreign;
    } cases[] = {{kMainClass, kSecondInterface, kListenerInterface},
                 {kListenerClass, kListenerInterface, kEmitterInterface},
                 {kEmitterClass, kEmitterInterface, kSecondInterface}};
    for (const auto& c : cases) {
        void* object = nullptr;
        ASSERT_EQ(create(c.classId, c.own, &object), S_OK) << c.classId;
        void* answer = nullptr;
        EXPECT_EQ(callSlot<HRESULT>(object, 0, &IID_IUnknown, &answer), S_OK);
        EXPECT_EQ(answer, object);
        const GUID own = guidOf(c.own), foreign = guidOf(c.foreign);
        EXPECT_EQ(callSlot<HRESULT>(object, 0, &own, &answer), S_OK);
        EXPECT_EQ(answer, object);
        EXPECT_EQ(callSlot<HRESULT>(object, 0, &foreign, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr);
        EXPECT_EQ(create(c.classId, c.foreign, &answer), E_NOINTERFACE) << c.classId;
        // Three references now: creation and two answers. The last Release frees (the
        // sanitizer build would see a leak or a second free).
        EXPECT_EQ(addRef(object), 4u);
        for (ULONG left = 3; left != ~0u; --left) EXPECT_EQ(release(object), left);
    }
}

TEST_F(SoundObjects, SlotsTheLibraryDoesNotUseAnswerNotImplemented)
{
    const std::string clip = writeWavTone("slots.wav", 0.1);
    void* mainObject = makeMain();
    listener = makeListener();
    HRESULT result = E_FAIL;
    void* emitter = makeEmitter(clip, 0, &result);
    ASSERT_EQ(result, S_OK);
    const struct {
        void* object;
        std::vector<int> slots;
    } cases[] = {{mainObject, {3, 4, 5}},
                 {listener, {8, 9}},
                 {emitter, {3, 5, 7, 10, 11, 13, 15, 18, 19, 20, 21}}};
    for (const auto& c : cases)
        for (int slot : c.slots) EXPECT_EQ(callSlot<HRESULT>(c.object, slot), E_NOTIMPL) << slot;
}

// Every setter reached by its slot number is read back through its getter's; a value the
// engine cannot take is refused and changes nothing.
TEST_F(SoundObjects, SettersReadBackThroughTheirGettersAndRefuseBadValues)
{
    void* object = nullptr;
    ASSERT_EQ(create(kListenerClass, kListenerInterface, &object), S_OK);
    u32 rate = 99;
    EXPECT_EQ(callSlot<HRESULT>(object, 5, &rate), S_OK);
    EXPECT_EQ(rate, 0u) << "no output before initialisation";
    const Vector position{1, 2, 10}, front{0, 0, 1}, up{0, 1, 0};
    EXPECT_EQ(callSlot<HRESULT>(object, 7, position.data()), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(object, 6, front.data(), up.data()), S_OK);
    Vector readPosition{}, readFront{}, readUp{};
    EXPECT_EQ(callSlot<HRESULT>(object, 4, &readPosition.x), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(object, 3, &readFront.x, &readUp.x), S_OK);
    EXPECT_EQ(readPosition.z, 10.0f);
    EXPECT_EQ(readFront.z, 1.0f);
    EXPECT_EQ(readUp.y, 1.0f);
    // An orientation OpenAL cannot make a frame of.
    const Vector zero{0, 0, 0}, parallel{0, 0, 2};
    EXPECT_EQ(callSlot<HRESULT>(object, 6, zero.data(), up.data()), E_INVALIDARG);
    EXPECT_EQ(callSlot<HRESULT>(object, 6, front.data(), parallel.data()), E_INVALIDARG);
    EXPECT_EQ(callSlot<HRESULT>(object, 3, &readFront.x, &readUp.x), S_OK);
    EXPECT_EQ(readUp.y, 1.0f);
    release(object);
    listener = makeListener();
    EXPECT_EQ(callSlot<HRESULT>(listener, 5, &rate), S_OK);
    EXPECT_EQ(rate, kSoundRenderRate);
    // The model record: inner ellipsoid at offsets 4 and 8, outer at 12 and 16, intensity
    // at 20, kept apart (the maximums are not the minimums again).
    void* emitter = nullptr;
    ASSERT_EQ(create(kEmitterClass, kEmitterInterface, &emitter), S_OK);
    const ModelBytes model = modelRecord(1, 2, 30, 40, 0.5f);
    const Vector location{1, 2, 3}, direction{0, 0, -1};
    EXPECT_EQ(callSlot<HRESULT>(emitter, 12, model.data()), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(emitter, 16, location.data()), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(emitter, 14, direction.data()), S_OK);
    ModelBytes readModel = modelRecord(0, 0, 0, 0, 0);
    Vector readLocation{}, readDirection{};
    EXPECT_EQ(callSlot<HRESULT>(emitter, 4, readModel.data()), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(emitter, 9, &readLocation.x), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(emitter, 6, &readDirection.x), S_OK);
    EXPECT_EQ(readModel, model);
    EXPECT_EQ(readLocation.y, 2.0f);
    EXPECT_EQ(readDirection.z, -1.0f);
    u32 state = 99;
    EXPECT_EQ(callSlot<HRESULT>(emitter, 8, &state), S_OK);
    EXPECT_EQ(state, 0u) << "not started";
    // A negative or non-finite distance.
    const ModelBytes refused[] = {modelRecord(-1, 2, 30, 40, 1),
                                  modelRecord(1, std::numeric_limits<f32>::quiet_NaN(), 30, 40, 1),
                                  modelRecord(1, 2, 30, std::numeric_limits<f32>::infinity(), 1)};
    for (const ModelBytes& bad : refused)
        EXPECT_EQ(callSlot<HRESULT>(emitter, 12, bad.data()), E_INVALIDARG);
    EXPECT_EQ(callSlot<HRESULT>(emitter, 4, readModel.data()), S_OK);
    EXPECT_EQ(readModel, model);
    release(emitter);
    // The main object's environment record, whole and too short for what the engine reads.
    u8 environment[16] = {16};
    EXPECT_EQ(callSlot<HRESULT>(main, 6, environment), S_OK);
    environment[0] = 8;
    EXPECT_EQ(callSlot<HRESULT>(main, 6, environment), E_INVALIDARG);
}

// The listener and every initialised emitter hold the output; the last release closes it,
// in whatever order they go (the plug-in releases the listener first).
TEST_F(SoundObjects, TheOutputStaysOpenUntilItsLastHolderIsReleased)
{
    const std::string clip = writeWavTone("hold.wav", 0.1);
    EXPECT_FALSE(outputOpen());
    listener = makeListener();
    EXPECT_TRUE(outputOpen());
    HRESULT result = E_FAIL;
    void* emitter = makeEmitter(clip, 0, &result);
    ASSERT_EQ(result, S_OK);
    EXPECT_EQ(release(listener), 0u);
    EXPECT_TRUE(outputOpen()) << "the emitter still plays";
    EXPECT_EQ(release(emitter), 0u);
    EXPECT_FALSE(outputOpen());
    listener = makeListener(); // and it opens again for the next world
    EXPECT_TRUE(outputOpen());
}

TEST_F(SoundObjects, OneListenerAtATime)
{
    listener = makeListener();
    void* second = nullptr;
    ASSERT_EQ(create(kListenerClass, kListenerInterface, &second), S_OK);
    u8 description[16] = {16};
    EXPECT_EQ(callSlot<HRESULT>(second, 10, description, main), E_FAIL);
    EXPECT_STRNE(platformSoundError(), "");
    release(listener);
    EXPECT_EQ(callSlot<HRESULT>(second, 10, description, main), S_OK);
    // Initialisations take only the engine's own main object.
    void* third = nullptr;
    ASSERT_EQ(create(kListenerClass, kListenerInterface, &third), S_OK);
    EXPECT_EQ(callSlot<HRESULT>(third, 10, description, third), E_INVALIDARG);
}

TEST_F(SoundObjects, AnEmitterNeedsAListenerToHaveOpenedTheOutput)
{
    const std::string clip = writeWavTone("early.wav", 0.1);
    HRESULT result = S_OK;
    makeEmitter(clip, 0, &result);
    EXPECT_EQ(result, E_FAIL);
    EXPECT_EQ(std::string(platformSoundError()),
              clip + ": no listener has opened the audio output");
}

TEST_F(SoundObjects, PlatformResetFreesEveryObjectAndClosesTheOutput)
{
    const std::string clip = writeWavTone("reset.wav", 0.1);
    listener = makeListener();
    HRESULT result = E_FAIL;
    makeEmitter(clip, 0, &result);
    ASSERT_EQ(result, S_OK);
    platformReset(); // nothing released: the sanitizer build sees any object left behind
    EXPECT_FALSE(outputOpen());
    EXPECT_STREQ(platformSoundError(), "");
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); // the reset undid it too
    void* object = nullptr;
    EXPECT_EQ(create(kMainClass, kSecondInterface, &object), REGDB_E_CLASSNOTREG);
}

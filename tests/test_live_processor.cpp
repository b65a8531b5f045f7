// The live analyser through the edition product: sections heard in real audio, the letters and the
// cue text in Show, recipes reaching the parameters in Arm, the user's hold, map replay.
#include <gtest/gtest.h>
#include "LiveTestUtil.h"
#include "AllocationGuard.h"

using namespace vyrTest;
using vyrLiveTest::Part;

namespace
{
std::vector<Part> twoSections()
{
    // A dark, quiet verse and a bright, loud chorus with a faster beat.
    return { { 13.0, -22.0f, 700.0f, 0.25f, 2.0f }, { 17.0, -11.0f, 7000.0f, 0.45f, 6.0f } };
}
}

TEST (LiveProcessor, ShowHearsTwoSectionsAndStampsTheirLetters)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 6000);
    setParam (p, "liveAnalysis", 1.0f);
    p.liveTimerTick();
    vyrLiveTest::Song song (twoSections(), 48000.0);
    vyrLiveTest::PlayHead head;
    double lockedAt = -1.0, shiftedAt = -1.0;
    vyrLiveTest::play (p, song, head, [&] (double t)
    {
        if (lockedAt < 0.0 && p.live.sectionKnown.load())
            lockedAt = t;
        if (shiftedAt < 0.0 && p.live.letter.load() == 'B')
            shiftedAt = t;
        juce::String s, c;
        p.live.copyStatus (s, c);
        if (std::fmod (t, 1.0) < 0.1)
            printf ("%5.2f %c known=%d sec=%.2f slowA=%.1f status=%s char=%s cue=%s\n", t, (char) p.live.letter.load(), (int) p.live.sectionKnown.load(),
                    p.live.showSeconds.load(), p.live.hopFrame.slowA, s.toRawUTF8(), c.toRawUTF8(), p.live.copyDetail().toRawUTF8());
    });
    EXPECT_GT (lockedAt, 3.9);
    EXPECT_LT (lockedAt, 4.6);
    EXPECT_GT (shiftedAt, 13.0);
}

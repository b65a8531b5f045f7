#include <gtest/gtest.h>
#include "Dsp/DspCommon.h"

#include <cmath>

TEST (LinearSmoothed, RampsLinearlyAndLandsExactlyOnTarget)
{
    vyrDsp::LinearSmoothed s (0.2f);
    s.reset (4);
    s.setTargetValue (1.0f);
    const float want[] = { 0.4f, 0.6f, 0.8f, 1.0f, 1.0f, 1.0f };
    for (float w : want)
        EXPECT_NEAR (s.getNextValue(), w, 1e-6f);
    EXPECT_EQ (s.getCurrentValue(), 1.0f);
    EXPECT_FALSE (s.isSmoothing());

    // Retargeting mid-ramp starts a new full-length ramp from where the value is.
    s.setTargetValue (0.0f);
    s.getNextValue();
    s.setTargetValue (2.0f);
    EXPECT_EQ (s.getCountdown(), 4);
    EXPECT_NEAR (s.getNextValue(), 0.75f + 0.3125f, 1e-6f);
}

TEST (LinearSmoothed, SameTargetWithinFloatResolutionKeepsTheRunningRamp)
{
    vyrDsp::LinearSmoothed s (0.0f);
    s.reset (100);
    s.setTargetValue (1.0f);
    for (int i = 0; i < 10; ++i)
        s.getNextValue();
    const float before = s.getCurrentValue();
    s.setTargetValue (std::nextafter (1.0f, 2.0f)); // one step of float resolution: ignored
    EXPECT_EQ (s.getCountdown(), 90);
    s.setTargetValue (1.0f + 1.0e-5f);              // a real change restarts the ramp
    EXPECT_EQ (s.getCountdown(), 100);
    EXPECT_GT (s.getNextValue(), before);

    vyrDsp::LinearSmoothed tiny (0.0f);
    tiny.reset (10);
    tiny.setTargetValue (1.0e-39f);                 // below the smallest normal float: the same as zero
    EXPECT_FALSE (tiny.isSmoothing());
}

TEST (LinearSmoothed, NoRampLengthJumpsAndResetEndsTheRamp)
{
    vyrDsp::LinearSmoothed s (0.5f);
    s.setTargetValue (0.8f);
    EXPECT_EQ (s.getCurrentValue(), 0.8f);
    EXPECT_EQ (s.getNextValue(), 0.8f);

    s.reset (50);
    s.setTargetValue (0.0f);
    s.getNextValue();
    s.reset (50);                                   // a new ramp length jumps to the target
    EXPECT_EQ (s.getCurrentValue(), 0.0f);
    EXPECT_FALSE (s.isSmoothing());

    s.setCurrentAndTargetValue (0.3f);
    s.setTargetValue (0.6f);
    EXPECT_NEAR (s.skip (25), 0.45f, 1e-6f);
    EXPECT_EQ (s.skip (100), 0.6f);
}

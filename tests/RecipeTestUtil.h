#pragma once

// Helpers for the recipe tests: parameter reads against the value a parameter would store, and a
// listener that counts what the host sees (value changes and change gestures).
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include <map>

namespace vyrRecipeTest
{
    inline juce::RangedAudioParameter& paramRef (VyrAudioProcessor& p, const char* id)
    {
        auto* param = p.apvts.getParameter (id);
        if (param == nullptr)
            throw std::runtime_error (std::string ("no parameter ") + id);
        return *param;
    }

    // The value the parameter holds after being given `plain` (its range and step applied).
    inline float legal (VyrAudioProcessor& p, const char* id, float plain)
    {
        auto& param = paramRef (p, id);
        return param.convertFrom0to1 (param.convertTo0to1 (plain));
    }

    inline float value (VyrAudioProcessor& p, const char* id)
    {
        return p.apvts.getRawParameterValue (id)->load();
    }

    // What the host learns: value changes and change gestures per parameter.
    struct HostView : juce::AudioProcessorListener
    {
        explicit HostView (VyrAudioProcessor& proc) : p (proc) { p.addListener (this); }
        ~HostView() override { p.removeListener (this); }

        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { ++changes[index]; ++totalChanges; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { ++begins[index]; ++totalBegins; }
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override { ++totalEnds; }

        int beginsOf (const char* id) const
        {
            auto* param = p.apvts.getParameter (id);
            const auto it = begins.find (param->getParameterIndex());
            return it == begins.end() ? 0 : it->second;
        }

        int changesOf (const char* id) const
        {
            auto* param = p.apvts.getParameter (id);
            const auto it = changes.find (param->getParameterIndex());
            return it == changes.end() ? 0 : it->second;
        }

        int maxBeginsPerParameter() const
        {
            int m = 0;
            for (const auto& kv : begins)
                m = std::max (m, kv.second);
            return m;
        }

        void reset()
        {
            changes.clear();
            begins.clear();
            totalChanges = totalBegins = totalEnds = 0;
        }

        VyrAudioProcessor& p;
        std::map<int, int> changes, begins;
        int totalChanges = 0, totalBegins = 0, totalEnds = 0;
    };

    // Runs a recipe operation the way its callers do: with the processor's recipe guard set.
    template <typename Fn>
    void asRecipe (VyrAudioProcessor& p, Fn&& fn)
    {
        p.applyingRecipe = true;
        fn();
        p.applyingRecipe = false;
    }
}

// Expects the parameter to hold exactly what it stores when given `plain` (range and step applied).
#define EXPECT_PARAM(proc, id, plain) \
    EXPECT_NEAR (vyrRecipeTest::value (proc, id), vyrRecipeTest::legal (proc, id, plain), \
                 1.0e-4f * std::max (1.0f, std::abs ((float) (plain)))) << id

#define EXPECT_PARAM_NEAR(proc, id, plain, tol) \
    EXPECT_NEAR (vyrRecipeTest::value (proc, id), plain, tol) << id

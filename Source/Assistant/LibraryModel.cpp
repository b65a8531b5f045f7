#include "Assistant/LibraryModel.h"

#include "Assistant/Measurements.h"
#include "Model/QuarnPresets.h"

#include <algorithm>
#include <cmath>

namespace vyrLibrary
{
namespace
{
    void keepNearest (std::vector<vyrMasterAssist::Ranked>& v, int count)
    {
        const auto byDistance = [] (const vyrMasterAssist::Ranked& a, const vyrMasterAssist::Ranked& b)
        { return a.distance < b.distance; };
        const auto keep = std::min ((size_t) count, v.size());
        std::partial_sort (v.begin(), v.begin() + (std::ptrdiff_t) keep, v.end(), byDistance);
        v.resize (keep);
    }

    vyrMasterAssist::Ranked ranked (const vyrMasterAssist::Snapshot& s, const vyrMasterLib::Profile& p)
    {
        return { p, vyrMasterLib::distance (s, p), vyrMasterLib::match (s, p) };
    }
}

void rank (const vyrMasterAssist::Snapshot& s, std::vector<vyrMasterAssist::Ranked>& named,
           std::vector<vyrMasterAssist::Ranked>& grid)
{
    using namespace vyrMasterLib;
    std::vector<vyrMasterAssist::Ranked> n, g;
    n.reserve (kNumProfiles);
    g.reserve (kNumProfiles);
    for (int i = kNamedFirst; i < kNamedFirst + kNumNamed; ++i)
    {
        const auto p = at (i);
        if (p.title != nullptr)
            n.push_back (ranked (s, p));
    }
    for (int i = 0; i < kGridCount; ++i)
        g.push_back (ranked (s, at (i)));
    keepNearest (n, kNamedShown);
    keepNearest (g, kGridShown);
    named = std::move (n);
    grid = std::move (g);
}

int listHeight (const LibraryModel& m) noexcept
{
    return (int) std::ceil (36.0 * (double) m.named.size() + 26.0 * (double) m.grid.size() + 66.0);
}
}

void fillLibraryModel (VyrAudioProcessor& processor, LibraryModel& model)
{
    model.snapshot = vyrMasterAssist::measure (processor);
    model.advice = vyrMasterAssist::coach (model.snapshot);
    vyrLibrary::rank (model.snapshot, model.named, model.grid);
}

juce::String libraryLane (const vyrMasterAssist::Snapshot& s)
{
    return juce::String (vyrQuarn::kMasterMediums[juce::jlimit (0, 7, s.medium)].label)
         + juce::String::fromUTF8 ("  \xc2\xb7  ") + vyrQuarn::kMasterStyles[juce::jlimit (0, 6, s.style)];
}

juce::String librarySnapLine (const vyrMasterAssist::Snapshot& s, float fit)
{
    const juce::String lufs = s.hasFile && s.lufsKnown ? vyrMasterLib::oneDecimal (s.lufs) : juce::String::fromUTF8 ("\xe2\x80\x94");
    return "LUFS " + lufs + "    CLIP " + juce::String (vyrMasterLib::nearestEven (s.clipShare * 100.0f)) + "%"
         + "    FIT " + juce::String (vyrMasterLib::nearestEven (fit));
}

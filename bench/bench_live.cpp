// The live analyser's audio-thread half: hop features every quarter second and, in Arm, the map
// replay with its glide search, firing and letter follow.
#include "BenchUtil.h"
#include "Live/LiveSectionAnalyzer.h"

static void BM_VyrLiveAnalysis (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    const bool replay = state.range (2) != 0;
    LiveSectionAnalyzer live;
    live.sampleRate = sr;
    live.hopLength = sr * 0.25;
    live.reset();
    live.setMode (replay ? LiveSectionAnalyzer::arm : LiveSectionAnalyzer::show);
    if (replay)
    {
        // A full map, replaying: every block searches the glide windows and fires entries.
        for (int i = 0; i < LiveSectionAnalyzer::kMaxMapEntries; ++i)
            live.stampMap ((std::int64_t) (i * 7.0 * sr), { i % 7, 3, i % 5, -1, (char) ('A' + i % 7), 0, false });
        live.replaying = true;
    }
    std::int64_t position = 0;
    const auto loop = (std::int64_t) (200.0 * sr);
    vyrRunBlocks (state, sr, block, block * 64, [&] (juce::AudioBuffer<float>& buffer, int)
    {
        live.analyseBlock (buffer, sr, position, true, true);
        position = (position + block) % loop;
        live.requestPending = false;
    });
}
BENCHMARK (BM_VyrLiveAnalysis)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 }, { 0, 1 } });

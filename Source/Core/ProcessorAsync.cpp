// The asynchronous update, the parameter listener and the host-bypass sync.
#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"
#include "Model/FactoryPresets.h"
#include "Core/RealtimeProbe.h"
#include <cstring>

namespace
{
std::uint32_t bitsOf (float v) noexcept
{
    std::uint32_t b;
    std::memcpy (&b, &v, sizeof (b));
    return b;
}
}

VyrAudioProcessor::ProgramWriteScope::ProgramWriteScope (VyrAudioProcessor& p) noexcept : owner (p)
{
    const auto self = juce::Thread::getCurrentThreadId();
    outermost = owner.programWriter.load() != self;
    if (outermost)
        owner.programWriter.store (self);
}

VyrAudioProcessor::ProgramWriteScope::~ProgramWriteScope()
{
    if (outermost)
        owner.programWriter.store (nullptr);
}

bool VyrAudioProcessor::programWriteActive() const noexcept
{
    return programWriter.load() == juce::Thread::getCurrentThreadId();
}

bool VyrAudioProcessor::revertingEchoHere() const noexcept
{
    return echoReverter.load() == juce::Thread::getCurrentThreadId();
}

int VyrAudioProcessor::readChoice (const char* id, int count, int fallback) const
{
    auto* p = dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter (id));
    if (p == nullptr)
        return fallback;
    return juce::jlimit (0, count - 1, p->getIndex());
}

void VyrAudioProcessor::setParamNotifying (const juce::String& id, float plainValue)
{
    if (auto* p = apvts.getParameter (id))
        vyrParams::setPlainNotifying (*p, plainValue);
}

void VyrAudioProcessor::requestAsyncUpdate() noexcept
{
    asyncRequested.store (true);
    // While prepared the poll is running, so the audio thread only ever takes this branch's first test.
    if (! pollActive.load())
        startRequestPoll();
}

void VyrAudioProcessor::startRequestPoll()
{
    // Only reached when the processor is not prepared (no audio callback can be running) or from
    // prepareToPlay; starting a timer takes the timer thread's lock.
    vyrRt::noteBlockingWait();
    const std::lock_guard<std::mutex> lock (pollLock);
    if (! pollActive.load())
    {
        pollActive.store (true);
        requestPoll.startTimer (requestPollMs);
    }
}

void VyrAudioProcessor::pollRequests()
{
    if (asyncRequested.exchange (false))
        handleAsyncUpdate();

    if (audioPrepared.load() || asyncRequested.load())
        return;

    // Nothing can ask without starting the poll itself any more: stop. Requesters mark their flag
    // before they look at pollActive and this clears pollActive before it looks at the flag, so a
    // racing request is either seen here (the poll keeps running) or starts the poll again itself,
    // after this stop (the lock orders the two).
    const std::lock_guard<std::mutex> lock (pollLock);
    pollActive.store (false);
    if (audioPrepared.load() || asyncRequested.load())
    {
        pollActive.store (true);
        return;
    }
    requestPoll.stopTimer();
}

int VyrAudioProcessor::latencyForCurrentSettings() const noexcept
{
    const auto& m = mapParams;
    return liveChain.latencyForSettings (hostSampleRate, m.limiterOversampling(), m.limTruePeak.on(), m.limLookahead.get());
}

bool VyrAudioProcessor::decidesLatency (const juce::String& id) noexcept
{
    return id == "limiter_oversampling" || id == "limiter_lookahead" || id == "limiter_truePeak";
}

void VyrAudioProcessor::refreshLatency()
{
    // Hosts pick up a latency change through their message queue.
    vyrRt::noteMessagePost();
    const std::lock_guard<std::mutex> lock (latencyLock);
    const int latency = latencyForCurrentSettings();
    if (latency == reportedLatency.load())
        return;
    reportedLatency = latency;
    setLatencySamples (latency);
}

void VyrAudioProcessor::stopAllGlides() noexcept
{
    ++recipeGeneration;
    live.stopGlide();
}

void VyrAudioProcessor::supersedePendingWork() noexcept
{
    pendingBits = 0;
    quarnDirty = false;
    pendingMood = -2;
    pendingSection = -1;
    live.requestPending = false;
    stopAllGlides();
    // Last: a worker reads the generation before it takes a request, so one that took a request
    // this restore did not clear still holds the old generation and leaves it unwritten.
    ++restoreGeneration;
}

void VyrAudioProcessor::handleAsyncUpdate()
{
    // The host learns of a latency change made on another thread (automation, a host's own thread).
    if (latencyCheckPending.exchange (false))
        refreshLatency();

    if (! holdingRequests)
    {
        heldRequests = { pendingBits.take(), pendingMood.take(), pendingSection.take(), quarnDirty.take() };
        holdingRequests = true;
        if (onRequestsTaken)
            onRequestsTaken();
    }

    // A restore running on another thread finishes first; the requests taken stay held for the next
    // tick, which finds them void if that restore came after they were made.
    std::unique_lock<std::recursive_mutex> lock (stateLock, std::try_to_lock);
    if (! lock.owns_lock())
    {
        asyncRequested = true;
        return;
    }
    holdingRequests = false;
    const ProgramWriteScope own (*this);
    serveRecipeRequests (heldRequests);
    reportRevertedEchoes();
}

bool VyrAudioProcessor::isSupersededEcho (int index) const noexcept
{
    if (index < 0 || index >= numParams || revertingEchoHere() || restoring.load() || applyingRecipe.load() || programWriteActive())
        return false;
    const float value = getParameters()[index]->getValue();
    if (restoredValues[(size_t) index].load() == value)
        return false;
    const int generation = restoreGeneration.load();
    for (int k = 0; k < ownWritesKept; ++k)
    {
        const auto write = ownWrites[(size_t) (index * ownWritesKept + k)].load();
        const int stamp = (int) (std::uint32_t) (write >> 32);
        if (write != 0 && stamp < generation && (std::uint32_t) write == bitsOf (value))
            return true;
    }
    return false;
}

void VyrAudioProcessor::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float)
{
    if (index < 0 || index >= numParams || revertingEchoHere() || restoring.load())
        return;
    auto* param = getParameters()[index];
    if (applyingRecipe.load() || programWriteActive())
    {
        const auto stamp = (std::uint64_t) (std::uint32_t) restoreGeneration.load();
        const int slot = ownWriteNext[(size_t) index].fetch_add (1) & (ownWritesKept - 1);
        ownWrites[(size_t) (index * ownWritesKept + slot)].store ((stamp << 32) | bitsOf (param->getValue()));
        return;
    }
    if (! isSupersededEcho (index))
        return;
    const auto self = juce::Thread::getCurrentThreadId();
    echoReverter.store (self);
    param->setValueNotifyingHost (restoredValues[(size_t) index].load());
    auto expected = self;
    echoReverter.compare_exchange_strong (expected, nullptr);
    // A host that handed the value over inside its own parameter callback is not told of the
    // write just made; the message thread tells it.
    revertedEchoes[(size_t) index] = true;
    revertedEchoPending = true;
    requestAsyncUpdate();
}

void VyrAudioProcessor::noteRestoredValues() noexcept
{
    for (int i = 0; i < numParams; ++i)
        restoredValues[(size_t) i] = getParameters()[i]->getValue();
}

void VyrAudioProcessor::reportRevertedEchoes()
{
    if (! revertedEchoPending.exchange (false))
        return;
    for (int i = 0; i < numParams; ++i)
        if (revertedEchoes[(size_t) i].exchange (false))
        {
            auto* param = getParameters()[i];
            param->setValueNotifyingHost (param->getValue());
        }
}

void VyrAudioProcessor::serveRecipeRequests (const TakenRequests& taken)
{
    // Checked here, holding the lock every restore takes: a request made before the last restore
    // does nothing.
    const int generation = restoreGeneration.load();
    auto current = [generation] (const auto& t, auto none) { return t.stamp == generation ? t.value : none; };
    const int bits = current (taken.bits, 0);

    if (bits != 0 && product == vyrProducts::quarn)
    {
        applyingRecipe = true;

        if ((bits & vyrMidi::mediumChosen) != 0)
        {
            const int m = readChoice ("masterMedium", 8, 3);
            mediumIndex = m;
            if ((bits & vyrMidi::loudnessChosen) == 0)
            {
                const int a = vyrQuarn::nearestLufsIndex (vyrQuarn::gMediumLufs[m]);
                setParamNotifying ("masterLufs", (float) a);
                lufsIndex = a;
                vyrQuarn::applyLufs (apvts, a, true);
            }
        }

        if ((bits & vyrMidi::loudnessChosen) != 0)
        {
            const int l = readChoice ("masterLufs", 5, 2);
            lufsIndex = l;
            vyrQuarn::applyLufs (apvts, l, true);
        }

        if ((bits & vyrMidi::styleChosen) != 0 && (bits & vyrMidi::moodChosen) == 0)
        {
            currentMood = -1;
            const int s = readChoice ("masterStyle", 7, 5);
            styleIndex = s;
            vyrQuarn::applyChips (apvts, s, juce::jlimit (0, 4, lufsIndex.load()), true, -1);
            notifyMasterMood (-1, 0);
            applyingRecipe = false;
            quarnDirty = false;
        }
        else
        {
            applyingRecipe = false;
            quarnDirty = false;
            if ((bits & vyrMidi::moodChosen) != 0)
            {
                auto* moodParam = dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterMood"));
                const int k = moodParam != nullptr ? moodParam->getIndex() : -1;
                if (k >= 1)
                {
                    applyMoodPreset (std::min (k, 176) - 1);
                }
                else
                {
                    currentMood = -1;
                    notifyMasterMood (-1, 0);
                }
            }
        }

        if (readChoice ("liveAnalysis", 3, 0) == 2)
            noteArmUserHold();
    }

    if (product == vyrProducts::quarn)
    {
        const int p = current (taken.mood, -2);
        if (p != -2 && ! armPunchingMasterStyle() && p != currentMood.load())
        {
            if (p < 0)
            {
                currentMood = -1;
                noteArmUserHold();
                ++recipeGeneration;
            }
            else
            {
                applyMoodPreset (p);
            }
        }
    }

    applyPendingLiveRecipe();

    if (current (taken.quarn, false) && product == vyrProducts::quarn)
        vyrQuarn::apply (apvts, true);

    const int s = current (taken.section, -1);
    if (s >= 0)
    {
        const int letter = juce::jlimit (0, 6, section.assign[std::min (s, 6)]);
        const int preset = juce::jlimit (0, 16, section.letters[letter]);
        vyrFactory::applyToApvts (apvts, preset);
    }
}

void VyrAudioProcessor::parameterChanged (const juce::String& id, float value)
{
    // The generation a request made here is made at; a restore after this point voids it.
    const int generation = restoreGeneration.load();

    // A superseded value coming back from the host: the processor listener puts the restored one back.
    if (auto* param = apvts.getParameter (id); param != nullptr && isSupersededEcho (param->getParameterIndex()))
        return;

    if (id == "linkLR" || id == "inputGainL" || id == "outputGainL")
        vyrMirrorLinkedGains (apvts);

    const bool powerId = id == "bypass" || (hostedModuleId.isNotEmpty() && id == hostedModuleId);
    if (powerId && isPluginHostWrapper() && ! hostedPowerGuard.exchange (true))
    {
        const float target = value >= 0.5f ? 0.0f : 1.0f;
        auto syncTo = [this, target] (const juce::String& otherId)
        {
            if (auto* other = apvts.getParameter (otherId))
                if (std::abs (other->getValue() - target) > 0.5f)
                    other->setValueNotifyingHost (target);
        };
        if (id != "bypass")
        {
            syncTo ("bypass");
        }
        else
        {
            if (product == vyrProducts::signalUtility)
                utilEnabled = value < 0.5f;
            else if (hostedModuleId.isNotEmpty())
                syncTo (hostedModuleId);
        }
        hostedPowerGuard = false;
    }

    // A restore's own writes are reported once it is complete.
    if (decidesLatency (id) && ! restoring.load())
    {
        if (juce::MessageManager::existsAndIsCurrentThread())
            refreshLatency();
        else
        {
            latencyCheckPending = true;
            requestAsyncUpdate();
        }
    }

    if (product != vyrProducts::quarn || applyingRecipe.load() || restoring.load() || revertingEchoHere())
        return;

    auto letterMark = [this]
    {
        if (live.sectionKnown.load())
        {
            const int chip = juce::jlimit (0, 6, live.letter.load() - 'A');
            live.letterChips[chip].userEdited = true;
        }
    };

    if (id == "masterMood")
    {
        if (moodNotifyGuard.load() || armPunchingMasterStyle())
            return;
        const int m = (int) std::nearbyint (value);
        const int b = m < 1 ? -1 : std::min (m, 176) - 1;
        if (b != currentMood.load())
        {
            pendingMood.mark (b, generation);
            requestAsyncUpdate();
        }
        return;
    }

    if (id.startsWith ("quarn_") && id != "quarn_eqAng")
    {
        quarnDirty.mark (true, generation);
        requestAsyncUpdate();
        noteArmUserHold();
        letterMark();
        return;
    }

    if (id == "masterStyle")
    {
        pendingBits.mark (vyrMidi::styleChosen, generation, [] (int held, int bits) { return held | bits; });
        requestAsyncUpdate();
        noteArmUserHold();
        letterMark();
        return;
    }

    if (id == "masterMedium" || id == "masterLufs" || id == "masterTrim" || id.endsWith ("_mix") || id.endsWith ("_enabled"))
    {
        noteArmUserHold();
        letterMark();
    }
}

void VyrAudioProcessor::alignHostedPower()
{
    if (! isPluginHostWrapper())
        return;

    auto* bypass = apvts.getParameter ("bypass");
    if (bypass == nullptr)
        return;

    float target;
    if (product == vyrProducts::signalUtility)
    {
        target = utilEnabled.load() ? 0.0f : 1.0f;
    }
    else
    {
        if (hostedModuleId.isEmpty())
            return;
        auto* enabled = apvts.getRawParameterValue (hostedModuleId);
        if (enabled == nullptr)
            return;
        target = enabled->load() < 0.5f ? 1.0f : 0.0f;
    }

    if (std::abs (bypass->getValue() - target) > 0.5f)
        bypass->setValueNotifyingHost (target);
}

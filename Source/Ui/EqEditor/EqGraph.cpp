#include "Ui/EqEditor/EqGraph.h"

#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/EqEditor/EqBandPopup.h"

#include <cmath>

namespace
{
constexpr float kLg20 = 1.30103f;
constexpr int kPopupHeight = 80;
}

EqGraph::EqGraph (VyrAudioProcessor& p, bool isDynamic)
    : processor (p), dynamic (isDynamic)
{
    for (auto* b : { &spectrumButton, &contourButton, &pinkButton })
    {
        b->setClickingTogglesState (true);
        addAndMakeVisible (*b);
    }
    spectrumButton.setToggleState (true, juce::dontSendNotification);
    spectrumButton.onClick = [this] { showSpectrum = spectrumButton.getToggleState(); updateShowing(); repaint(); };
    contourButton.onClick = [this] { showContour = contourButton.getToggleState(); repaint(); };
    pinkButton.onClick = [this] { showPink = pinkButton.getToggleState(); repaint(); };

    popup = std::make_unique<Popup> (*this);
    popup->setRepaintsOnMouseActivity (true);
    addChildComponent (*popup);

    vyrEq::loadState (processor.apvts, state, dynamic);
    showWatcher = std::make_unique<ShowWatcher> (*this);
    updateShowing();
}

EqGraph::~EqGraph()
{
    showWatcher.reset();
    stopTimer();
    if (popup != nullptr)
        popup->dismissMenu();
    endDrag();
    spectrumReader.reset();
}

//==============================================================================
float EqGraph::xOf (float f) const noexcept
{
    return (std::log10 (juce::jlimit (20.0f, 20000.0f, f)) - kLg20) / 3.0f * (float) getWidth();
}

float EqGraph::freqAt (float x) const noexcept
{
    return juce::jlimit (20.0f, 20000.0f, std::pow (10.0f, 3.0f * x / (float) std::max (getWidth(), 1) + kLg20));
}

float EqGraph::yOf (float d) const noexcept
{
    const float r = rangeDb();
    return (1.0f - (juce::jlimit (-r, r, d) + r) / (2.0f * r)) * (float) getHeight();
}

float EqGraph::dbAt (float y) const noexcept
{
    const float r = rangeDb();
    return juce::jlimit (-r, r, (1.0f - y / (float) std::max (getHeight(), 1)) * 2.0f * r - r);
}

float EqGraph::curveDb (double sr, float f) const
{
    return vyrEq::displayDb (vyrEq::magAt (sr, editedChannel(), state.enabled, f));
}

juce::Point<float> EqGraph::handleOf (const juce::String& id) const
{
    const auto* b = vyrEq::bandOf (editedChannel(), id);
    if (b == nullptr)
        return {};
    return { xOf (b->freq), yOf (curveDb (processor.hostSampleRate, b->freq)) };
}

//==============================================================================
void EqGraph::visibilityChanged() { updateShowing(); }
void EqGraph::parentHierarchyChanged() { updateShowing(); }

void EqGraph::updateShowing()
{
    const bool showing = isShowing();
    if (showing && ! isTimerRunning())
        startTimer (33);
    else if (! showing && isTimerRunning())
        stopTimer();

    const bool reads = showing && showSpectrum;
    if (reads && spectrumReader == nullptr)
        spectrumReader = std::make_unique<VyrAudioProcessor::SpectrumViewToken> (processor);
    else if (! reads)
        spectrumReader.reset();

    if (! showing)
    {
        // A hidden graph holds no drag and no open menu: nothing may act on it unseen.
        endDrag();
        if (popup != nullptr)
        {
            popup->dismissMenu();
            popup->dragField = 0;
        }
    }
}

void EqGraph::reload()
{
    vyrEq::loadState (processor.apvts, state, dynamic);
    const auto& ch = editedChannel();
    const juce::int64 key = (juce::int64) state.bandCount | ((juce::int64) state.gainRange << 4)
                            | ((juce::int64) state.msMode << 8) | ((juce::int64) state.msChannel << 9)
                            | ((juce::int64) state.enabled << 10) | ((juce::int64) ch.low.cut << 11)
                            | ((juce::int64) ch.high.cut << 12);
    if (key != layoutKey)
    {
        const bool first = layoutKey == 0;
        layoutKey = key;
        if (! first && onLayoutChanged)
            onLayoutChanged();
    }
}

namespace
{
bool sameBand (const vyrEq::Band& a, const vyrEq::Band& b) noexcept
{
    return a.freq == b.freq && a.gain == b.gain && a.q == b.q && a.slope == b.slope && a.thresh == b.thresh
           && a.ratio == b.ratio && a.atk == b.atk && a.rel == b.rel && a.drive == b.drive && a.shape == b.shape
           && a.cut == b.cut && a.on == b.on && a.solo == b.solo && a.sat == b.sat;
}

bool sameChannel (const vyrEq::Channel& a, const vyrEq::Channel& b) noexcept
{
    if (a.midCount != b.midCount || ! sameBand (a.low, b.low) || ! sameBand (a.high, b.high))
        return false;
    for (int i = 0; i < 6; ++i)
        if (! sameBand (a.mids[i], b.mids[i]))
            return false;
    return true;
}

bool sameState (const vyrEq::State& a, const vyrEq::State& b) noexcept
{
    return a.enabled == b.enabled && a.msMode == b.msMode && a.msChannel == b.msChannel && a.bandCount == b.bandCount
           && a.gainRange == b.gainRange && a.mix == b.mix && sameChannel (a.main, b.main) && sameChannel (a.side, b.side);
}
}

bool EqGraph::liveReadingsMoved()
{
    bool moved = false;
    if (showSpectrum)
    {
        {
            const juce::SpinLock::ScopedLockType lock (processor.meters.spectrumLock);
            moved = ! std::equal (std::begin (processor.meters.spectrum), std::end (processor.meters.spectrum), spectrumSeen.begin());
            if (moved)
                std::copy (std::begin (processor.meters.spectrum), std::end (processor.meters.spectrum), spectrumSeen.begin());
        }
    }
    if (dynamic)
    {
        for (int k = 0; k < VyrDynamicEQ::kPositions; ++k)
        {
            const float r = processor.liveChain.dynamicEq.grMeter[k].load (std::memory_order_relaxed);
            if (r != reductionSeen[(size_t) k])
                reductionSeen[(size_t) k] = r, moved = true;
        }
    }
    return moved;
}

void EqGraph::timerCallback()
{
    if (! isShowing())
        return updateShowing();
    if (! vyrVisibleInScroll (*this))
        return;
    if (! dragging)
        reload();
    layoutPopup();
    // Repaint only for something new to show: settings, spectrum or gain reduction.
    const bool settingsMoved = ! sameState (state, statePainted);
    if (settingsMoved || liveReadingsMoved())
    {
        statePainted = state;
        repaint();
    }
}

//==============================================================================
void EqGraph::setSelectedId (const juce::String& id)
{
    if (id == selectedId)
    {
        layoutPopup();
        repaint();
        return;
    }
    selectQuietly (id);
    if (onSelect)
        onSelect (id);
    layoutPopup();
    repaint();
}

void EqGraph::selectQuietly (const juce::String& id)
{
    selectedId = id;
    popupPinned = false;
    popupExpanded = false;
    if (popup != nullptr)
    {
        popup->dismissMenu();
        popup->expanded = false;
        popup->pinned = false;
        popup->bandId = id;
    }
}

void EqGraph::layoutPopup()
{
    if (popup == nullptr)
        return;
    if (selectedId.isEmpty())
    {
        popup->setVisible (false);
        return;
    }
    popup->bandId = selectedId;
    popupExpanded = popup->expanded;

    const int W = getWidth(), H = getHeight();
    // The popup never grows past the graph: a narrow graph gets a narrower popup, 4 px inside.
    const int fullW = dynamic ? (popupExpanded ? 486 : 318) : 178;
    const int w = std::max (1, std::min (fullW, W - 8));
    const int h = std::max (1, std::min (kPopupHeight, H - 8));
    popup->setSize (w, h);

    const auto* b = vyrEq::bandOf (editedChannel(), selectedId);
    if (b == nullptr)
    {
        popup->setVisible (false);
        return;
    }

    int x = popupPos.x, y = popupPos.y;
    if (! (popup->pinned || popupPinned))
    {
        const float xb = xOf (b->freq);
        const float yc = yOf (curveDb (processor.hostSampleRate, b->freq));
        const float half = (float) H / 2.0f;
        const auto centred = [&] { return xb - (float) w / 2.0f < 4.0f ? 4 : (int) std::min ((float) (W - w - 4), xb - (float) w / 2.0f); };
        bool placed = false;
        if (b->cut || b->gain < 0.0f)
        {
            const int top = (int) (std::min (half - 4.0f, yc - 28.0f) - (float) h);
            if (top >= 4)
                y = top, x = centred(), placed = true;
        }
        else
        {
            const int top = (int) std::max (yc + 28.0f, half + 4.0f);
            if (top + h <= H - 4)
                y = top, x = centred(), placed = true;
        }
        if (! placed)
        {
            const int xr = (int) (xb + 34.0f);
            x = w + xr <= W - 4 ? xr : (int) std::max (xb - (float) w - 34.0f, 4.0f);
            y = yc - 40.0f < 4.0f ? 4 : (int) std::min ((float) (H - h - 4), yc - 40.0f);
        }
    }
    x = x < 4 ? 4 : std::min (x, std::max (W - w, 8) - 4);
    y = y < 4 ? 4 : std::min (y, std::max (H, h + 8) - h - 4);
    popup->setTopLeftPosition (x, y);
    popupPos = { x, y };

    popup->pinned = popupPinned;
    popup->setVisible (true);
    popup->toFront (false);
}

//==============================================================================
juce::String EqGraph::paramId (const juce::String& stem, const char* suffix) const
{
    return juce::String (dynamic ? "dynamicEq_" : "eq_") + (editsSide() ? "s_" : "") + stem + suffix;
}

void EqGraph::beginLiveParam (const juce::String& id)
{
    if (id.isEmpty() || liveParams.contains (id))
        return;
    if (auto* p = processor.apvts.getParameter (id))
        p->beginChangeGesture();
    liveParams.add (id);
}

void EqGraph::endDrag()
{
    for (const auto& id : liveParams)
        if (auto* p = processor.apvts.getParameter (id))
            p->endChangeGesture();
    liveParams.clear();
    dragging = false;
    dragId.clear();
    qDragId.clear();
}

void EqGraph::writeField (const juce::String& id, float plain, bool live)
{
    auto* p = processor.apvts.getParameter (id);
    if (p == nullptr || ! std::isfinite (plain))
        return;
    const float v = dynamic_cast<juce::AudioParameterBool*> (p) != nullptr ? (plain >= 0.5f ? 1.0f : 0.0f)
                                                                            : p->convertTo0to1 (plain);
    if (live)
    {
        beginLiveParam (id);
        if (std::abs (p->getValue() - v) >= 1.0e-7f)
            p->setValueNotifyingHost (v);
    }
    else if (std::abs (p->getValue() - v) >= 1.0e-7f)
    {
        p->beginChangeGesture();
        p->setValueNotifyingHost (v);
        p->endChangeGesture();
    }
}

void EqGraph::patchBand (const juce::String& id, const std::function<void (vyrEq::Band&)>& edit)
{
    auto* band = vyrEq::bandOf (editedChannel(), id);
    if (band == nullptr)
        return;
    const auto old = *band;
    auto now = old;
    edit (now);
    const float r = rangeDb();
    now.freq = juce::jlimit (20.0f, 20000.0f, now.freq);
    now.gain = juce::jlimit (-r, r, now.gain);
    now.q = juce::jlimit (0.1f, 6.0f, now.q);

    const auto stem = vyrEq::bandStem (id);
    const bool live = dragging;
    const bool mid = vyrEq::isMidId (id);
    const auto moved = [] (float a, float b) { return std::abs (a - b) >= 1.0e-4f; };
    const auto write = [&] (const char* suffix, float value) { writeField (paramId (stem, suffix), value, live); };

    if (moved (old.freq, now.freq)) write ("Freq", now.freq);
    if (moved (old.gain, now.gain)) write ("Gain", now.gain);
    if (old.on != now.on) write ("On", now.on ? 1.0f : 0.0f);
    if (old.solo != now.solo) write ("Solo", now.solo ? 1.0f : 0.0f);
    if (mid)
    {
        if (moved (old.q, now.q)) write ("Q", now.q);
        if (! dynamic && old.shape != now.shape) write ("Shape", (float) now.shape);
    }
    else
    {
        if (moved (old.slope, now.slope))
        {
            const int k = std::min ((int) std::round (now.slope / 12.0f), 4);
            write ("Slope", k < 2 ? 0.0f : (float) (k - 1));
        }
        if (old.cut != now.cut) write ("Cut", now.cut ? 1.0f : 0.0f);
    }
    if (dynamic)
    {
        if (moved (old.thresh, now.thresh)) write ("Thresh", now.thresh);
        if (moved (old.ratio, now.ratio)) write ("Ratio", now.ratio);
        if (moved (old.atk, now.atk)) write ("Atk", now.atk);
        if (moved (old.rel, now.rel)) write ("Rel", now.rel);
        if (old.sat != now.sat) write ("Sat", now.sat ? 1.0f : 0.0f);
        if (moved (old.drive, now.drive)) write ("Drive", now.drive);
    }

    *band = now;
    repaint();
    if (popup != nullptr)
        popup->repaint();
}

//==============================================================================
void EqGraph::mouseDown (const juce::MouseEvent& e)
{
    if (dragging)
        return; // a second button during a drag starts nothing new
    const auto m = e.position;
    const auto& ch = editedChannel();
    const int mids = juce::jlimit (0, 6, ch.midCount);

    if (vyrEq::isMidId (selectedId))
    {
        const auto* b = vyrEq::bandOf (ch, selectedId);
        const int index = selectedId.substring (3).getIntValue();
        if (b != nullptr && index < mids)
        {
            const auto h = handleOf (selectedId);
            const float E = juce::jlimit (12.0f, 60.0f, 60.0f - 8.0f * b->q);
            if (m.getDistanceFrom ({ h.x - E, h.y }) < 8.0f || m.getDistanceFrom ({ h.x + E, h.y }) < 8.0f)
            {
                qDragId = selectedId;
                dragId.clear();
                dragging = true;
                return;
            }
        }
    }

    juce::String best;
    float bestDistance = 18.0f;
    for (int k = 0; k <= mids + 1; ++k)
    {
        const auto id = vyrEq::bandIdAt (k, mids);
        const float d = m.getDistanceFrom (handleOf (id));
        if (d < bestDistance)
            bestDistance = d, best = id;
    }
    if (best.isNotEmpty())
    {
        setSelectedId (best);
        dragId = best;
        qDragId.clear();
        dragging = true;
    }
    else
        setSelectedId ({});
}

void EqGraph::mouseDrag (const juce::MouseEvent& e)
{
    const auto m = e.position;
    const double sr = processor.hostSampleRate;
    if (qDragId.isNotEmpty() && vyrEq::bandOf (editedChannel(), qDragId) != nullptr)
    {
        const float d = std::abs (m.x - handleOf (qDragId).x);
        float q = d < 12.0f ? 6.0f : (d <= 60.0f ? (60.0f - d) / 8.0f : 0.0f);
        q = juce::jlimit (0.1f, 6.0f, q);
        patchBand (qDragId, [q] (vyrEq::Band& b) { b.q = q; });
        return;
    }
    const auto* b = vyrEq::bandOf (editedChannel(), dragId);
    if (dragId.isEmpty() || b == nullptr)
        return;

    const float f = freqAt (m.x);
    if (vyrEq::isEdgeId (dragId) && b->cut)
    {
        patchBand (dragId, [f] (vyrEq::Band& band) { band.freq = f; });
        return;
    }
    const float target = dbAt (m.y);
    const float cur = curveDb (sr, b->freq);
    const float r = rangeDb();
    const float gain = juce::jlimit (-r, r, vyrEq::isMidId (dragId) ? target - cur + b->gain
                                                                    : 2.0f * (target - (cur - b->gain / 2.0f)));
    patchBand (dragId, [f, gain] (vyrEq::Band& band) { band.freq = f; band.gain = gain; });
}

void EqGraph::mouseUp (const juce::MouseEvent&)
{
    endDrag();
}

//==============================================================================
void EqGraph::resized()
{
    const int W = getWidth();
    spectrumButton.setBounds (8, 4, 58, 16);
    contourButton.setBounds (W - 92, 4, 36, 16);
    pinkButton.setBounds (W - 54, 4, 46, 16);
    layoutPopup();
}

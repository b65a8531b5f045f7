// Plug-in state: the parameter tree as XML plus the section layout, chain order and generator settings.
#include "Core/PluginProcessor.h"
#include "Model/TextNumbers.h"

namespace
{
juce::String joinFixed (const float* values, int count, int decimals)
{
    juce::StringArray parts;
    for (int i = 0; i < count; ++i)
        parts.add (vyrText::fixed (values[i], decimals));
    return parts.joinIntoString (",");
}

juce::String joinInts (const int* values, int count)
{
    juce::StringArray parts;
    for (int i = 0; i < count; ++i)
        parts.add (juce::String (values[i]));
    return parts.joinIntoString (",");
}

template <typename T, typename Reader>
void readList (const juce::XmlElement& xml, const char* key, T* dest, int capacity, Reader read)
{
    const auto text = xml.getStringAttribute (key);
    if (text.isEmpty())
        return;
    const auto pieces = juce::StringArray::fromTokens (text, ",", "");
    for (int k = 0; k < std::min (pieces.size(), capacity); ++k)
        dest[k] = read (pieces[k]);
}

// The saved chain order, repaired to a permutation of 0..12 that keeps the saved entries' order.
void repairOrder (const juce::String& text, std::int32_t* order)
{
    bool used[13] {};
    int j = 0;
    for (const auto& piece : juce::StringArray::fromTokens (text, ",", ""))
    {
        const int v = vyrText::readInt (piece);
        if (v >= 0 && v <= 12 && ! used[v] && j <= 12)
        {
            order[j++] = v;
            used[v] = true;
        }
    }
    for (int i = 0; i < 13 && j < 13; ++i)
        if (! used[i])
            order[j++] = i;
}

float readNumber (const juce::XmlElement& xml, const char* key, float fallback)
{
    return xml.hasAttribute (key) ? vyrText::readFloat (xml.getStringAttribute (key)) : fallback;
}

// The framework's XML blob, read as untrusted input: a wrong header, a length beyond the data or
// text that is not valid UTF-8 yields nothing.
std::unique_ptr<juce::XmlElement> readStateBlob (const void* data, int sizeInBytes)
{
    constexpr juce::uint32 magicXmlNumber = 0x21324356;
    if (data == nullptr || sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt (data) != magicXmlNumber)
        return {};
    const auto declared = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));
    if (declared <= 0)
        return {};
    const int length = std::min (sizeInBytes - 8, declared);
    const auto* text = static_cast<const char*> (data) + 8;
    if (! juce::CharPointer_UTF8::isValidString (text, length))
        return {};
    return juce::parseXML (juce::String::fromUTF8 (text, length));
}

int readInteger (const juce::XmlElement& xml, const char* key, int fallback)
{
    return xml.hasAttribute (key) ? vyrText::readInt (xml.getStringAttribute (key)) : fallback;
}
}

void VyrAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = apvts.copyState();
    if (! state.isValid())
        return;
    auto xml = state.createXml();
    if (xml == nullptr)
        return;

    xml->setAttribute ("sectionEnabled", section.enabled ? 1 : 0);
    xml->setAttribute ("sectionLiveFollow", section.liveFollow ? 1 : 0);
    xml->setAttribute ("sectionAutoRide", section.autoRide ? 1 : 0);
    xml->setAttribute ("sectionCount", section.count);
    xml->setAttribute ("sectionCues", joinFixed (section.cues, 6, 4));
    xml->setAttribute ("sectionGlides", joinFixed (section.glides, 6, 3));
    xml->setAttribute ("sectionAssign", joinInts (section.assign, 7));
    xml->setAttribute ("sectionLetters", joinInts (section.letters, 7));
    xml->setAttribute ("sectionAutoFx", vyrSection::encodeAutomation (section.autoFx));
    xml->setAttribute ("sectionAutoIn", vyrSection::encodeAutomation (section.autoIn));
    xml->setAttribute ("sectionAutoOut", vyrSection::encodeAutomation (section.autoOut));
    xml->setAttribute ("fxOrder", joinInts (fxOrder, 13));
    xml->setAttribute ("utilEnabled", utilEnabled.load() ? 1 : 0);
    xml->setAttribute ("utilDim", utilDim.load() ? 1 : 0);
    xml->setAttribute ("utilWave", utilWave.load());
    xml->setAttribute ("utilFreq", vyrText::shortestDouble (utilFreq.load()));
    xml->setAttribute ("utilLevelDb", vyrText::shortestDouble (utilLevelDb.load()));
    xml->setAttribute ("utilDuty", vyrText::shortestDouble (utilDuty.load()));
    xml->setAttribute ("utilAntiAlias", utilAntiAlias.load() ? 1 : 0);
    xml->setAttribute ("utilDecorrelated", utilDecorrelated.load() ? 1 : 0);
    xml->setAttribute ("utilStereo", utilStereo.load() ? 1 : 0);
    xml->setAttribute ("utilInvert", utilInvert.load());
    xml->setAttribute ("utilDcOffset", vyrText::shortestDouble (utilDcOffset.load()));
    xml->setAttribute ("utilSweepStart", vyrText::shortestDouble (utilSweepStart.load()));
    xml->setAttribute ("utilSweepEnd", vyrText::shortestDouble (utilSweepEnd.load()));
    xml->setAttribute ("utilSweepDur", vyrText::shortestDouble (utilSweepDur.load()));
    xml->setAttribute ("utilSweepLog", utilSweepLog.load());

    copyXmlToBinary (*xml, destData);
}

void VyrAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (isStandaloneWrapper() || data == nullptr || sizeInBytes <= 0)
        return;

    // Held from here, so the request worker, which only try-locks, cannot start writing while the
    // blob is read: what it took meanwhile is void once the restore has moved the generation.
    const std::lock_guard<std::recursive_mutex> lock (stateLock);
    const auto xml = readStateBlob (data, sizeInBytes);
    if (xml == nullptr)
        return;

    // Everything is read into copies first and applied together at the end, so an odd blob
    // never leaves half a state behind.
    VyrSectionMastering s = section;
    s.enabled = xml->getBoolAttribute ("sectionEnabled", false);
    s.liveFollow = xml->getBoolAttribute ("sectionLiveFollow", false);
    s.autoRide = xml->getBoolAttribute ("sectionAutoRide", false);
    s.count = juce::jlimit (1, 7, readInteger (*xml, "sectionCount", 3));
    readList (*xml, "sectionCues", s.cues, 6, [] (const juce::String& t) { return juce::jlimit (0.0f, 1.0f, vyrText::readFloat (t)); });
    readList (*xml, "sectionGlides", s.glides, 6, [] (const juce::String& t) { return juce::jlimit (0.0f, 1.0f, vyrText::readFloat (t)); });
    readList (*xml, "sectionAssign", s.assign, 7, [] (const juce::String& t) { return juce::jlimit (0, 6, vyrText::readInt (t)); });
    readList (*xml, "sectionLetters", s.letters, 7, [] (const juce::String& t) { return juce::jlimit (0, 16, vyrText::readInt (t)); });
    vyrSection::decodeAutomation (xml->getStringAttribute ("sectionAutoFx"), s.autoFx);
    vyrSection::decodeAutomation (xml->getStringAttribute ("sectionAutoIn"), s.autoIn);
    vyrSection::decodeAutomation (xml->getStringAttribute ("sectionAutoOut"), s.autoOut);

    std::int32_t order[13];
    std::copy (fxOrder, fxOrder + 13, order);
    if (const auto orderText = xml->getStringAttribute ("fxOrder"); orderText.isNotEmpty())
        repairOrder (orderText, order);

    // The parameter tree gets only well-formed entries for parameters that exist, with values
    // inside their ranges; anything else in the blob is left out.
    juce::ValueTree tree (apvts.state.getType());
    for (auto* child : xml->getChildIterator())
    {
        const auto id = child->getStringAttribute ("id");
        auto* param = apvts.getParameter (id);
        if (param == nullptr || ! child->hasAttribute ("value"))
            continue;
        const float v = vyrText::readFloat (child->getStringAttribute ("value"));
        const float legal = param->convertFrom0to1 (param->convertTo0to1 (v));
        auto existing = tree.getChildWithProperty ("id", id);
        if (! existing.isValid())
        {
            existing = juce::ValueTree ("PARAM");
            existing.setProperty ("id", id, nullptr);
            tree.appendChild (existing, nullptr);
        }
        existing.setProperty ("value", legal, nullptr);
    }

    // What the host restores is final: requests and glides from before it never write after it.
    supersedePendingWork();

    section = s;
    std::copy (order, order + 13, fxOrder);
    publishChainShared();

    utilEnabled = xml->getBoolAttribute ("utilEnabled", product == vyrProducts::signalUtility);
    utilDim = xml->getBoolAttribute ("utilDim", false);
    utilWave = juce::jlimit (0, 8, readInteger (*xml, "utilWave", 0));
    utilFreq = readNumber (*xml, "utilFreq", 1000.0f);
    utilLevelDb = readNumber (*xml, "utilLevelDb", -20.0f);
    utilDuty = readNumber (*xml, "utilDuty", 0.5f);
    utilAntiAlias = xml->getBoolAttribute ("utilAntiAlias", true);
    utilDecorrelated = xml->getBoolAttribute ("utilDecorrelated", false);
    utilStereo = xml->getBoolAttribute ("utilStereo", true);
    utilInvert = juce::jlimit (0, 3, readInteger (*xml, "utilInvert", 0));
    utilDcOffset = readNumber (*xml, "utilDcOffset", 0.0f);
    utilSweepStart = readNumber (*xml, "utilSweepStart", 20.0f);
    utilSweepEnd = readNumber (*xml, "utilSweepEnd", 20000.0f);
    utilSweepDur = readNumber (*xml, "utilSweepDur", 4.0f);
    utilSweepLog = readInteger (*xml, "utilSweepLog", 1) != 0 ? 1 : 0;

    restoring = true;
    apvts.replaceState (tree);
    restoring = false;

    if (auto* mood = dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterMood")))
    {
        const int index = mood->getIndex();
        currentMood = index >= 1 ? index - 1 : -1;
    }

    ++stateVersion;
    alignHostedPower();
    noteRestoredValues();
    // The host hears of the restored latency now, before it runs another block.
    refreshLatency();
}

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <type_traits>
#include <utility>

class StudioComponent;

// Where the modules that bring their own panel or picture plug into the FX chain page.
namespace vyrFxSlots
{
namespace detail
{
    template <typename T, typename = void>
    struct HasSetActive : std::false_type {};
    template <typename T>
    struct HasSetActive<T, std::void_t<decltype (std::declval<T&>().setActive (true))>> : std::true_type {};

    template <typename T, typename = void>
    struct HasSyncHeader : std::false_type {};
    template <typename T>
    struct HasSyncHeader<T, std::void_t<decltype (std::declval<T&>().syncHeader())>> : std::true_type {};
}

// Fills a panel slot with a new panel: panels with `setActive (bool)` are shown and hidden through
// it, panels with `syncHeader()` are shown and then re-read their header, any other panel is only
// shown and hidden.
template <typename Panel, typename Slot, typename... Args>
void plug (Slot& slot, Args&&... args)
{
    auto panel = std::make_unique<Panel> (std::forward<Args> (args)...);
    auto* raw = panel.get();
    slot.panel = std::move (panel);
    slot.activate = [raw] (bool on)
    {
        if constexpr (detail::HasSetActive<Panel>::value)
            raw->setActive (on);
        else
            raw->setVisible (on);
        if constexpr (detail::HasSyncHeader<Panel>::value)
            if (on)
                raw->syncHeader();
    };
}

// The module's picture inside its display rectangle: the compressor curve, the saturation and
// clipper plots, the delay echo screen, the tape machine, the reverb field and EQ, the density
// engine. Keys without a picture draw nothing.
void paintModuleVisual (juce::Graphics& g, StudioComponent& page, const juce::String& moduleKey,
                        juce::Rectangle<float> area, bool enabled);
}

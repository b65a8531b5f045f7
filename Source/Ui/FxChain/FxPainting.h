#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The cells of a rack unit (the delay and reverb units): display screen, control row with the BPM
// cells on its right, optional note row and the fader block at the bottom.
struct TcLayout
{
    juce::Rectangle<int> screen, rowLeft, noteRow, faders, minusBox, valueBox, plusBox, unitBox;
};

// Cuts a rack unit's area from the bottom up: `rows` fader rows of 44 px, the note row when asked,
// the 22 px control row and the screen above.
TcLayout makeTcLayout (juce::Rectangle<int> area, int rows, bool withNoteRow);

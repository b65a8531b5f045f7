#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Placement helpers of the FX chain page's layout.
namespace vyrFxLayout
{
// Splits `width` into `count` cells from the left, each the rest divided by the cells left (at
// least `minWidth`, at most the rest); the last cell takes what remains.
juce::Array<int> splitCells (int width, int count, int minWidth);
}

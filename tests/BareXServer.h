#pragma once

// Under a bare X server (xvfb-run without a window manager) the window-manager atoms JUCE asks
// for do not exist yet, and JUCE then sends property changes with atom 0, which the server
// rejects with a fatal error. Interning them first (atoms live as long as the server) lets tests
// put windows on the screen without starting a window manager. The connection must stay open
// while the tests run: a bare server resets, forgetting the atoms, when its last client leaves.
// It also parks the pointer in the screen's far corner, and makes X errors non-fatal, as hosts do.

namespace vyrTest
{
class BareXServerAtoms
{
public:
    BareXServerAtoms();
    ~BareXServerAtoms();

    BareXServerAtoms (const BareXServerAtoms&) = delete;
    BareXServerAtoms& operator= (const BareXServerAtoms&) = delete;

private:
    void* display = nullptr; // the X connection that keeps the atoms alive
};

// Waits until the X server has handled every request it received so far, so the events those
// requests cause are on their way to the clients that asked for them.
void syncWithXServer();
}

#pragma once
// Where windows go: beside and below each other, the advert window's
// slide-in from below the screen, and the docking of the remote control and
// interaction windows at the screen edges.
namespace app {
class Program;

void placeRemoteBesideMain(Program& program);
void placeInteractionBelowRemote(Program& program);

// Puts the advert window just below the bottom-right of the screen and starts
// its timer; each tick then lifts it by 8 pixels until it rests.
void startAdvertSlideIn(Program& program);
void advertSlideStep(Program& program);

// Snap to the left, right and top edges when dropped past them.
void remoteEdgeSnap(Program& program);
void interactionEdgeSnap(Program& program);
// Hide at an edge, leaving a strip of 5 pixels, until the pointer returns.
void remoteEdgeAutoHide(Program& program);
void interactionEdgeAutoHide(Program& program);

}  // namespace app

#pragma once

class QWidget;

// The screens were laid out for fonts this system may not have, and the faces
// standing in for them can run a little wider or taller. Each caption of the
// window that no longer fits its box gets the room it needs, growing right
// (a one-line box) or down (a box of several lines) from where it stands.
void FitCaptions(QWidget* window);

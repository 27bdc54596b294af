#pragma once

class QWidget;

// A box that opens while a key is held down (Space or Enter kept pressed to draw) must not take
// that key: key repeats are ignored, and so is the release of a key pressed before the box
// appeared. Only a key pressed while the box is open answers it. Call before the box is run.
void IgnoreHeldKeys(QWidget& box);

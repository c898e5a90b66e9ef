#pragma once

class QWidget;

// What the grids of a function window do where the window says nothing, as
// on the desktop the windows were designed for: Tab leaves a grid for the
// next control (Enter and the arrows still walk the cells), and a column is
// never narrower than its caption (the grid scrolls sideways instead), while
// a column hidden with width 0 stays hidden. A menu bar too narrow for its
// commands wraps onto further rows.
void ApplyDesktopDefaults(QWidget *window);

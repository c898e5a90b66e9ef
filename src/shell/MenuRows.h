#pragma once

class QMenuBar;

// Lets the menu bar of a window's layout wrap: the commands that do not fit
// the window's width move to a second (third ...) row under it, so every
// command stays visible and reachable, instead of hiding behind the bar's
// "»" button. The bar is put into a small container that becomes the
// layout's menu bar; the actions keep their names, order and connections.
// Does nothing for a bar that is not its window layout's menu bar.
void WrapMenuBar(QMenuBar *bar);

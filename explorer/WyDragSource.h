// Dragging entries out of a view: the wait for the drag to start, the drop source and the data offered.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Runs an OLE drag of paths (as CF_HDROP) out of view, started by the
// button held now at screenPoint. The drag begins once the pointer leaves
// the platform's drag rectangle around screenPoint, or the button is held
// past the drag delay; a release, another button or Escape before that
// abandons it. Copy, move and link are offered; the outcome is the drop
// target's business. Returns whether the platform's drag ran.
bool RunDragOut(HWND view, const std::vector<std::string>& paths, POINT screenPoint);

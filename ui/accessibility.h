// What screen readers are told about the window and its swatches, which Qt's own
// descriptions get wrong.
#pragma once

namespace huewright {

// Installs the program's accessibility factory; installing it again does nothing. Call it
// before any widget it describes exists: Qt keeps the first description it makes of a widget.
void InstallAccessibility();

} // namespace huewright

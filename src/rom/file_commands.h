#pragma once
// The File menu: Open, Save, Close and Exit, defined as TForm1's handlers in file_commands.cpp.
//
// Open identifies the chosen image by its game code and shows its chart; a file that cannot be
// attached is refused with a message giving the reason, and one that is not a supported image
// with the unsupported message; either way it is left detached, so nothing can be written into
// it. Save writes the chart back and reports success only when every byte reached the storage
// device; after a failure it can simply be tried again. Close and Exit ask nothing: unsaved
// edits are simply dropped.

#include "window/main_window.h"

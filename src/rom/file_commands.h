#pragma once
// The File menu: Open, Save, Close and Exit, defined as TForm1's handlers in file_commands.cpp.
//
// Open identifies the chosen image by its game code and shows its chart; a file that is not a
// supported image (or cannot be attached at all) is refused with a message and detached, so
// nothing can ever be written into it. Save writes the chart back and reports success only
// when every byte reached the storage device. Close and Exit ask nothing: unsaved edits are
// simply dropped.

#include "window/main_window.h"

#pragma once
// Windows only: File > Open in the system's own dialog, run by the editor itself.
//
// Qt 6.4's Windows plug-in shows that same dialog for a QFileDialog, but asks it for file-system
// items only when a folder is picked. For a file it takes any item, and one that is no file on a
// disk (a phone or a camera over MTP, a file inside a zip archive) comes back as a temporary copy:
// the editor would save into the copy and report success. Run here with FOS_FORCEFILESYSTEM, the
// dialog does not let such an item be chosen at all, and says why in the system's language.

#include <QString>

#include <optional>

class QWidget;
struct IFileOpenDialog;

// The system's Open dialog for `filter` (pairs of "description|patterns", separated by "|", as
// the system writes them): file-system items only, a typed name that names nothing let through
// (the editor adds its default extension or says the file is missing), the system's defaults
// otherwise. nullptr when the system makes none; the caller releases it.
IFileOpenDialog* NewSystemOpenDialog(const QString& filter);

// Runs that dialog modally over `parent`'s window: the path chosen, an empty string when the
// user cancels, nothing when the system has no such dialog to show.
std::optional<QString> ChooseInSystemOpenDialog(QWidget* parent, const QString& filter);

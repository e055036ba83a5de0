#pragma once
// Windows only: File > Open in the system's own dialog, run by the editor itself.
//
// Qt 6.4's Windows plug-in shows that same dialog for a QFileDialog, but asks it for file-system
// items only when a folder is picked. For a file it takes any item, and one that is no file on a
// disk (a phone or a camera over MTP, a file inside a zip archive) comes back as a temporary copy:
// the editor would save into the copy and report success. Run here with FOS_FORCEFILESYSTEM, the
// dialog does not let such an item be chosen at all, and says why in the system's language.

#include <QString>

class QWidget;
struct IFileOpenDialog;

// The system's Open dialog for `filter` (pairs of "description|patterns", separated by "|", as
// the system writes them): file-system items only, a typed name that names nothing let through
// (the editor adds its default extension or says the file is missing), the system's defaults
// otherwise. nullptr when the system makes none; the caller releases it.
IFileOpenDialog* NewSystemOpenDialog(const QString& filter);

// How the dialog ended: three outcomes, each said by name rather than by an empty or a missing
// path, so that the caller cannot take one for another.
struct SystemOpenChoice {
    enum Outcome {
        Chosen,     // `path` is the file chosen or typed
        Cancelled,  // the user closed the dialog
        Unavailable // the system made no dialog, or could not show it: the toolkit's stands in
    } outcome;
    QString path;
};

// Runs that dialog modally over `parent`'s window.
//
// COM: the dialog is a COM object of the shell's, which needs COM initialised on this thread in a
// single-threaded apartment. Nothing here initialises it: Qt's Windows platform plugin calls
// OleInitialize on the GUI thread when it starts (for drag and drop), and the dialog relies on
// that, and the window runs it only under that plugin. Without COM, CoCreateInstance fails and
// the outcome is Unavailable.
SystemOpenChoice RunSystemOpenDialog(QWidget* parent, const QString& filter);

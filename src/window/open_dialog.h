#pragma once
// File > Open's dialog, OpenDialog1: its settings, and running it. The toolkit's own dialog is
// built only when it is run, so start-up pays nothing for it; on Windows the system's dialog is
// run instead (system_open_dialog.h says why).

#include <QList>
#include <QString>

class QWidget;

struct TOpenDialog {
    QString Filter;     // pairs of "description|patterns", separated by "|"
    QString DefaultExt; // "*.ext"
    QString FileName;   // the path chosen by the last Execute that was confirmed

    // Runs the dialog modally over `parent`; false when the user cancels.
    bool Execute(QWidget* parent);
};

// One file type the dialog offers: "Gameboy Advance Rom (*.gba)" and "*.gba".
struct FileType {
    QString description;
    QString patterns; // separated by ";"
};

// The pairs of a Filter, in order.
QList<FileType> FileTypes(const QString& filter);

// File > Open's dialog: the toolkit's own, or on Windows the system's, run by the editor itself.

#include "window/open_dialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>

#ifdef Q_OS_WIN
#include "window/system_open_dialog.h"
#endif

using namespace Qt::StringLiterals;

QList<FileType> FileTypes(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QList<FileType> types;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        types.append({parts[i], parts[i + 1]});
    return types;
}

namespace {

// The file types as the toolkit's name filters. The toolkit shows only what stands before the
// last parenthesis, so each description is shown exactly as written while its patterns are spelt
// the way this platform matches them: "*.*" would skip names with no dot.
QStringList NameFilters(const QString& filter) {
    QStringList filters;
    for (FileType type : FileTypes(filter)) {
        type.patterns.replace(u';', u' ');
        filters.append(type.description + u" ("_s +
                       (type.patterns == u"*.*" ? u"*"_s : type.patterns) + u')');
    }
    return filters;
}

// The toolkit would add the default extension to every name without a dot, so typing "firered"
// would open "firered.gba" even with a "firered" beside it. A name that names a file is taken as
// it stands; only a name that names nothing and has no dot gets the default extension.
// A symbolic link is a name that names something, even when what it points at is gone: it is
// taken as it stands, and a dangling one is then refused as missing.
QString WithDefaultExtension(const QString& path, const QString& defaultExt) {
    const QFileInfo file(path);
    if (file.exists() || file.isSymLink() || file.fileName().contains(u'.'))
        return path;
    return path + QString(defaultExt).remove(u'*');
}

// Icons and type names from the name alone. The toolkit's own provider reads the start of every
// file whose name does not tell its type, which on a slow share, or in /proc, can hang the dialog.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        const QMimeType type =
            info.isDir() ? Types.mimeTypeForName(u"inode/directory"_s)
                         : Types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return type.comment();
    }

private:
    QMimeDatabase Types;
};

} // namespace

bool TOpenDialog::Execute(QWidget* parent) {
#ifdef Q_OS_WIN
    // Where Qt would show the system's dialog, the editor shows it itself, for files on disk only
    // (system_open_dialog.h says why); Qt's own dialog stays for where the system has none.
    if (QGuiApplication::platformName() == u"windows") {
        const SystemOpenChoice choice = RunSystemOpenDialog(parent, Filter);
        if (choice.outcome == SystemOpenChoice::Cancelled)
            return false;
        if (choice.outcome == SystemOpenChoice::Chosen) {
            FileName = WithDefaultExtension(choice.path, DefaultExt);
            return true;
        }
    }
#endif
    NameOnlyIconProvider icons; // outlives the dialog that uses it
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name need not exist
    // The toolkit's own dialog, never a desktop theme's: it follows the editor's language, and it
    // reads no file's contents to choose an icon.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(Filter));
    dialog.setIconProvider(&icons);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = WithDefaultExtension(dialog.selectedFiles().constFirst(), DefaultExt);
    return true;
}

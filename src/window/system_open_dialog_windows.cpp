#include "window/system_open_dialog.h"

#include "window/open_dialog.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <QWidget>
#include <QWindow>

#include <windows.h>

#include <shobjidl.h>

#include <string>
#include <vector>

namespace {

// Closing the dialog with a double click leaves a mouse move with the button still down in the
// queue; delivered to the window below, it would start a drag there. It goes out with no button.
// The last move is kept apart: once PeekMessageW returns FALSE, what it left in its MSG is
// undefined.
void DropStaleMouseMove() {
    MSG message{}, last{};
    bool moved = false;
    while (PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        last = message;
        moved = true;
    }
    if (moved)
        PostMessageW(last.hwnd, WM_MOUSEMOVE, 0, last.lParam);
}

} // namespace

IFileOpenDialog* NewSystemOpenDialog(const QString& filter) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog))))
        return nullptr;
    FILEOPENDIALOGOPTIONS options = 0;
    std::vector<std::wstring> texts; // the system keeps pointers into them until the dialog goes
    for (const FileType& type : FileTypes(filter))
        texts.insert(texts.end(), {type.description.toStdWString(), type.patterns.toStdWString()});
    std::vector<COMDLG_FILTERSPEC> types;
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2)
        types.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    const bool made =
        SUCCEEDED(dialog->GetOptions(&options)) &&
        SUCCEEDED(dialog->SetOptions((options | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST) &
                                     ~FILEOPENDIALOGOPTIONS(FOS_FILEMUSTEXIST))) &&
        (types.empty() || SUCCEEDED(dialog->SetFileTypes(UINT(types.size()), types.data())));
    if (!made) {
        dialog->Release();
        return nullptr;
    }
    return dialog;
}

SystemOpenChoice RunSystemOpenDialog(QWidget* parent, const QString& filter) {
    IFileOpenDialog* dialog = NewSystemOpenDialog(filter);
    if (!dialog)
        return {SystemOpenChoice::Unavailable, {}};
    // An owner, even when none is given: without one the program loses activation on closing.
    const QWindow* owner = parent && parent->window()->windowHandle()
                               ? parent->window()->windowHandle()
                               : QGuiApplication::focusWindow();
    SystemOpenChoice choice{SystemOpenChoice::Cancelled, {}};
    IShellItem* item = nullptr;
    const HRESULT shown = dialog->Show(owner ? HWND(owner->winId()) : nullptr);
    if (FAILED(shown) && shown != HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        dialog->Release(); // it could not be shown: the toolkit's dialog stands in
        return {SystemOpenChoice::Unavailable, {}};
    }
    if (SUCCEEDED(shown) && SUCCEEDED(dialog->GetResult(&item))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            choice = {SystemOpenChoice::Chosen,
                      QDir::fromNativeSeparators(QString::fromWCharArray(path))};
            CoTaskMemFree(path);
        }
        item->Release();
    }
    dialog->Release();
    DropStaleMouseMove();
    return choice;
}

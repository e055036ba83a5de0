// Start-up and shutdown. The program state is built before main runs (module_objects.cpp);
// main creates the application and the one window, runs the event loop until the window is
// closed, and always returns 0. Destroying RomStream afterwards closes an attached image.

#include "window/main_window.h"

#include <QApplication>
#include <QIcon>

#include <memory>

using namespace Qt::StringLiterals;

int main(int, char* argv[]) {
    // The command line is ignored, the toolkit's own options included.
    int applicationArgc = 1;
    char* applicationArgv[] = {argv[0], nullptr};
    QApplication Application(applicationArgc, applicationArgv);
    QApplication::setApplicationName(u"Quorvane"_s);
    QApplication::setWindowIcon(QIcon(u":/quorvane/quorvane-16.xpm"_s));

    SetMessagePresenter(ShowMessageBox);
    std::unique_ptr<TForm1> window;
    // An exception that escapes the window's construction or the event loop is shown, and the
    // program ends.
    RunHandler([&] {
        window = std::make_unique<TForm1>();
        Form1 = window.get();
        Form1->show();
        QApplication::exec();
    });
    Form1 = nullptr;
    return 0;
}

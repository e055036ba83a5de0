// The floors: a bare Qt Widgets window of the editor's size, with a menu bar of the same three
// menus and nothing else. File > Open shows the toolkit's file dialog with the editor's filters
// and options and does nothing with the file chosen: the least any Qt program pays to let a
// user pick a file. The bench measures the window both before and after that dialog.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    for (const char* title : {"&File", "&Options", "&Help"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        menu->addAction(QStringLiteral("&Open"), [&window] {
            QFileDialog dialog(&window);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setOption(QFileDialog::HideNameFilterDetails);
            dialog.setNameFilters({QStringLiteral("Gameboy Advance Rom (*.gba) (*.gba)"),
                                   QStringLiteral("Any File (*.*) (*)")});
            dialog.setDefaultSuffix(QStringLiteral("gba"));
            dialog.exec();
        });
    }
    auto* client = new QWidget;
    client->setFixedSize(394, 492);
    window.setCentralWidget(client);
    window.show();
    return QApplication::exec();
}

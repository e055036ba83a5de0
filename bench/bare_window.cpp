// The floor: a bare Qt Widgets window of the editor's size, with a menu bar of the same three
// menus, and nothing else.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    for (const char* title : {"&File", "&Options", "&Help"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        menu->addAction(QStringLiteral("&Item"));
    }
    auto* client = new QWidget;
    client->setFixedSize(394, 492);
    window.setCentralWidget(client);
    window.show();
    return QApplication::exec();
}

// The window and its two languages: its frame, layout and tab order as reviewed (in tests/data),
// an exception inside a handler, and a switch of language, before any Open and with an image
// open: every caption, enabled state, screen-reader name, box and the open dialog in the language
// in force, every selection kept.

#include "support/editor.h"

#ifdef Q_OS_WIN
#include "window/system_open_dialog.h"

#include <shobjidl.h>
#endif

namespace {
// What the window's own parts show, a line each (the toolkit's inner parts are named in lower
// case): caption, check and enabled state; a drop-down list its selected item and, when short, all
// its items; the entry list its selected row.
QStringList Shown(TForm1& form) {
    QStringList shown;
    for (QObject* object : form.findChildren<QObject*>(QRegularExpression(u"^[A-Z]"_s))) {
        QStringList parts;
        for (const char* caption : {"title", "text"})
            if (const QString text = object->property(caption).toString(); !text.isEmpty())
                parts << u'"' + text + u'"';
        if (object->property("checkable").toBool())
            parts << (object->property("checked").toBool() ? u"checked"_s : u"unchecked"_s);
        if (object->property("enabled").isValid())
            parts << (object->property("enabled").toBool() ? u"enabled"_s : u"disabled"_s);
        if (auto* list = qobject_cast<QComboBox*>(object)) {
            parts << u"item %1 of %2"_s.arg(list->currentIndex()).arg(list->count());
            for (int item = 0; list->count() < 20 && item < list->count(); ++item)
                parts << list->itemText(item);
        }
        if (auto* list = qobject_cast<QListWidget*>(object))
            parts << u"row %1 of %2: %3"_s.arg(list->currentRow())
                         .arg(list->count())
                         .arg(list->currentItem() ? list->currentItem()->text() : QString());
        // What a screen reader announces for a list: the name of the label it is the buddy of.
        if (qobject_cast<QComboBox*>(object) || qobject_cast<QListWidget*>(object)) {
            QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(object);
            QString name = heard->text(QAccessible::Name);
            for (auto [label, relation] : heard->relations(QAccessible::Label))
                name = label->text(QAccessible::Name);
            parts << u"heard as "_s + name;
        }
        if (!parts.isEmpty())
            shown << object->objectName() + u": "_s + parts.join(u", "_s);
    }
    return shown;
}

// What File > Open's dialog shows, opened in `folder`: its title, labels, file types and buttons;
// whether its first file type lets a ".gba" name through and its "Any File" choice a name without
// a dot, as the dialog matches names; whether it tells a file's type by reading it (a shell script
// named without an extension); and whether it is forced to be the toolkit's own, where a desktop's
// would be in its own language, read files and hide names without a dot. It is left once it has
// listed the folder's files. (Linux's dialog: Windows shows its own.)
QStringList DialogTexts(TForm1& form, const QString& folder) {
    QFile script(folder + u"/script"_s), data(folder + u"/data"_s); // written through at once
    const QIODevice::OpenMode through = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!script.open(through) || script.write("#!/bin/sh\necho\n") < 1 || !data.open(through) ||
        data.write(QByteArray(64, '\0')) < 1)
        return {u"the folder's files not written"_s};
    const QString current = QDir::currentPath();
    QDir::setCurrent(folder); // where the dialog opens
    QStringList texts{u"no dialog"_s};
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        texts.clear();
        auto* files = dialog->findChild<QFileSystemModel*>();
        if (!QTest::qWaitFor(
                [&] { return files->fileInfo(files->index(folder + u"/data"_s)).isFile(); }))
            texts << u"files not listed"_s;
        for (const QWidget* part : dialog->findChildren<QWidget*>()) // "&" marks no text
            if (part->isVisible() && !part->property("text").toString().isEmpty())
                texts << part->property("text").toString().remove(u'&');
        auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
        const bool sniffs = dialog->iconProvider()->type(QFileInfo(script)) !=
                            dialog->iconProvider()->type(QFileInfo(data));
        const QStringList patterns = // each file type's, as the dialog matches names with them
            dialog->nameFilters().replaceInStrings(QRegularExpression(u".*\\(|\\)$"_s), u""_s);
        texts << dialog->windowTitle() << types->itemText(0) << types->itemText(1)
              << (QDir::match(patterns[0], u"rom.gba"_s) ? u"rom.gba shown"_s : u"rom.gba hidden"_s)
              << (QDir::match(patterns[1], u"ROM"_s) ? u"ROM shown"_s : u"ROM hidden"_s)
              << (sniffs ? u"types read from files"_s : u"types from names only"_s)
              << (dialog->testOption(QFileDialog::DontUseNativeDialog) ? u"the toolkit's own"_s
                                                                       : u"the desktop's"_s);
        dialog->reject();
    });
    form.Open1->trigger();
    QDir::setCurrent(current);
    return texts;
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    // The client area's size, the font's, the window's frame (fixed, without a maximise button,
    // centred on the screen), each control's place and size (a label sizes itself to its text, so
    // only its place counts) and the order in which Tab walks the controls.
    void layoutIsTheReviewedOne() {
        Editor editor;
        QStringList layout; // the frame as placed to be shown, before a frame is drawn around it
        QDebug(&layout.emplace_back())
            << editor->windowFlags() << "fixed" << (editor->minimumSize() == editor->maximumSize())
            << "off the screen's centre by"
            << editor->geometry().center() - editor->screen()->availableGeometry().center();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        const QWidget* area = editor->ClientArea;
        QDebug(&layout.emplace_back())
            << "client area" << area->size() << "font" << editor->font().pointSizeF();
        for (const QWidget* c : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible()) // the label naming the custom list to screen readers is not drawn
                QDebug(&layout.emplace_back())
                    << c->objectName() << c->pos()
                    << (qobject_cast<const QLabel*>(c) ? QSize() : c->size());
        for (QWidget* w = editor->ListBox1->nextInFocusChain(); w != editor->ListBox1;
             w = w->nextInFocusChain())
            if (area->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
                layout << u"tab to "_s + w->objectName();
        for (QString& line : layout)
            line = line.trimmed();
        QCOMPARE(layout, Reviewed(u"window-layout"_s, layout));
    }

    // Shown in a box with its message, or none for an unknown exception; the program goes on
    // and shows the About box.
    void exceptionInAHandler() {
        Editor editor;
        auto throwing = [&] {
            SetMessagePresenter([](auto&&...) -> bool { throw std::runtime_error("Broken"); });
            editor->About1->trigger();
            SetMessagePresenter([](auto&&...) -> bool { throw 42; });
            editor->About1->trigger();
            SetMessagePresenter(ShowMessageBox);
            editor->About1->trigger();
        };
        const QStringList shown = Answer({u"enter"_s, u"enter"_s, u"enter"_s}, throwing);
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown.join(u'\n').section(u'\n', 0, 2), // the About box up to its first line break
                 u"Quorvane | Broken | OK !\nQuorvane |  | OK !\nAbout | Quorvane"_s);
    }

    void languageSwitch_data() {
        QTest::addColumn<QStringList>("switches"); // the language items clicked, in order
        QTest::addColumn<QString>("reviewed");     // what the window shows, in tests/data
        QTest::addColumn<int>("refills");          // of the entry list
        QTest::newRow("English") << QStringList() << u"window-english"_s << 0;
        QTest::newRow("French") << QStringList{u"Francais1"_s} << u"window-french"_s << 1;
        // A click on the language already in force changes nothing, and refills nothing.
        QTest::newRow("French twice, then English twice")
            << QStringList{u"Francais1"_s, u"Francais1"_s, u"English1"_s, u"English1"_s}
            << u"window-english"_s << 2;
    }
    // First with no image open: the enabled states and selections the window starts with, and the
    // open dialog, which follows the window's language. Then with an image open and every selector
    // set. Each switch happens after the toolkit has told the window of the change; then every
    // caption, item, screen-reader name and box is in the language in force (the toolkit's Yes and
    // No too), every selection is where it was, and the chart is untouched. English after French
    // brings back exactly what English showed.
    void languageSwitch() {
        QFETCH(QStringList, switches);
        QFETCH(QString, reviewed);
        QFETCH(int, refills);
        Editor editor; // first with no image open, in the language the row ends in
        for (const QString& language : switches)
            editor->findChild<QAction*>(language)->trigger();
        QStringList shown = Shown(*editor.form) + DialogTexts(*editor.form, editor.dir.path());
        editor->English1->trigger(); // then the switches again, with an image open
        QVERIFY(editor.open(RealChart()));
        Select(*editor.form, 13, 17, 4, 25);
        editor->ListBox1->setCurrentRow(57);
        QSignalSpy refilled(editor->ListBox1->model(), &QAbstractItemModel::modelReset);
        for (const QString& language : switches) {
            editor->findChild<QAction*>(language)->trigger();
            QCoreApplication::sendPostedEvents();
        }
        const QStringList boxes = Answer({u"yes"_s, u"enter"_s, u"enter"_s, u"enter"_s}, [&] {
            // asks of the Foresight entry there is, then of the last; Enter says No
            QVERIFY(Press(*editor.form, 57, editor->InsertForesightEntryButton));
            editor->About1->trigger();
            editor->VersionsCompatible1->trigger();
        });
        QCOMPARE(refilled.count(), refills);
        QCOMPARE(TableBytes(), RealChart().left(ChartSize));
        shown << Shown(*editor.form) << editor->windowTitle() << boxes;
        QCOMPARE(shown, Reviewed(reviewed, shown));
    }

#ifdef Q_OS_WIN
    // On Windows, File > Open is the system's own dialog with the window's file types, asked for
    // files on disk only: a phone's or an archive's item would come back as a temporary copy, which
    // a save would go into. A typed name need not exist. (Showing it needs a display; here the
    // window's dialog is the toolkit's, reviewed with the language switch.)
    void systemOpenDialogTakesFilesOnDiskOnly() {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IFileOpenDialog* dialog = NewSystemOpenDialog(Editor()->OpenDialog1.Filter);
        FILEOPENDIALOGOPTIONS options = 0;
        const bool asked = dialog && SUCCEEDED(dialog->GetOptions(&options));
        if (dialog)
            dialog->Release();
        if (SUCCEEDED(com))
            CoUninitialize();
        QVERIFY(asked);
        QVERIFY(options & FOS_FORCEFILESYSTEM);
    }
#endif
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"

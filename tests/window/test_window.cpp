// The window and its two languages: what it looks like (texts, geometry, tab order and the file
// dialog, as reviewed), the custom selector following the group, an exception inside a handler,
// and a switch of language: every caption, list text, screen-reader name and box in the language
// in force, every selection kept.

#include "support/editor.h"

#ifdef Q_OS_WIN
#include "window/system_open_dialog.h"

#include <shobjidl.h>
#endif

namespace {
// Every caption, item, text, selection and state the window's own parts show (the toolkit's
// inner parts are named in lower case).
QStringList Shown(const TForm1& form) {
    QStringList shown;
    for (const QObject* object : form.findChildren<QObject*>(QRegularExpression(u"^[A-Z]"_s))) {
        for (const char* property :
             {"text", "title", "currentIndex", "currentRow", "checked", "enabled"})
            shown << object->property(property).toString();
        auto* items = qobject_cast<const QComboBox*>(object)
                          ? object->findChild<QAbstractItemView*>()
                          : qobject_cast<const QAbstractItemView*>(object);
        for (int row = 0; items && row < items->model()->rowCount(); ++row)
            shown << items->model()->index(row, 0).data().toString();
    }
    return shown;
}

// What the open dialog shows: its title, labels, file types and buttons, and whether its
// "Any File" choice lets a name without a dot through, as the dialog matches names.
QStringList DialogTexts(TForm1& form) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        for (const QWidget* part : dialog->findChildren<QWidget*>()) // "&" marks no text
            if (part->isVisible() && !part->property("text").toString().isEmpty())
                texts << part->property("text").toString().remove(u'&');
        auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
        const QString any = dialog->nameFilters()[1].section(u'(', -1).chopped(1);
        texts << dialog->windowTitle() << types->itemText(0) << types->itemText(1)
              << (QDir::match(any, u"ROM"_s) ? u"ROM shown"_s : u"ROM hidden"_s);
        dialog->reject();
    });
    form.Open1->trigger();
    return texts;
}

// Passes when the lines hash to the fingerprint they had when last reviewed; otherwise prints
// them, to be reviewed again.
void AsReviewed(const QStringList& lines, const QString& reviewed) {
    const QString now = QString::fromLatin1(
        QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex());
    if (!now.startsWith(reviewed))
        qInfo().noquote() << lines.join(u'\n');
    QCOMPARE(now.left(16), reviewed);
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    // What must stay as reviewed: every text of the program in both languages (the About texts
    // as assembled among them), the open dialog in both languages, the client area's pixels (a
    // label sizes itself to its text, so only its place counts) and the order in which Tab walks
    // the controls, and the size of the window's font. An edited text, a lost line break, a source
    // saved in another encoding, a moved control or two swapped tab stops change the fingerprint.
    void surfaceIsTheReviewedOne() {
        Editor editor;
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        QStringList surface(TypeNames.begin(), TypeNames.end());
        surface << ForesightLabel[0] << ForesightLabel[1] << ErrorLabel[0] << ErrorLabel[1]
                << QStringList(FactorLabels.begin(), FactorLabels.end());
        for (const LangPair& pair : InterfaceStrings)
            surface << pair[0] << pair[1];
        for (QAction* language : {editor->Francais1, editor->English1}) {
            language->trigger();
            surface << DialogTexts(*editor.form);
        }
        const QWidget* area = editor->ClientArea;
        QDebug(&surface.emplace_back()) << area->size() << editor->font().pointSizeF();
        for (const QWidget* c : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible()) // the label naming the custom list to screen readers is not drawn
                QDebug(&surface.emplace_back())
                    << c->objectName() << c->pos()
                    << (qobject_cast<const QLabel*>(c) ? QSize() : c->size());
        for (QWidget* w = editor->ListBox1->nextInFocusChain(); w != editor->ListBox1;
             w = w->nextInFocusChain())
            if (area->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
                surface << w->objectName();
        AsReviewed(surface, u"c0cfdd5849b07c18"_s);
    }

    // Enabled exactly while Custom is chosen, a language switch notwithstanding. (Its 255 items,
    // 0 to 25.4, are part of what switchingLanguage shows as reviewed.)
    void customSelectorFollowsTheGroup() {
        Editor editor(RealChart());
        for (int item : {0, 4, 1, 2, 3, 4}) {
            editor->MultFactorRadioItems->buttons()[item]->click();
            editor->Francais1->trigger();
            QCOMPARE(editor->CustomMultFactorComboBox->isEnabled(), item == 4);
            editor->English1->trigger();
        }
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
        QCOMPARE(Answer({u"enter"_s, u"enter"_s, u"enter"_s}, throwing),
                 QStringList({u"Quorvane | Broken | OK !"_s, u"Quorvane |  | OK !"_s,
                              Box(AboutTitle, AboutText)}));
    }

    // French, French again, then English, with an image open, as reviewed: every caption, list
    // text and selection, what a screen reader names the drop-down lists (by their labels) and
    // the list (by its own name), and two boxes, their buttons through the toolkit, Enter still
    // No. The switch happens after the toolkit has told the window of the change, and the
    // language already in force changes nothing, not even a text altered by hand ("marker").
    // English brings back all there was, and no switch touches the chart.
    void switchingLanguage() {
        Editor editor(RealChart());
        Select(*editor.form, 13, 17, 4, 25);
        editor->ListBox1->setCurrentRow(57);
        const QStringList english = Shown(*editor.form);
        QStringList heard;
        for (QAction* language : {editor->Francais1, editor->Francais1, editor->English1}) {
            editor->ListBox1->item(3)->setText(u"marker"_s);
            language->trigger();
            QCoreApplication::sendPostedEvents();
            heard << editor->windowTitle() << Shown(*editor.form);
            for (QWidget* control : std::initializer_list<QWidget*>{
                     editor->AttackingTypeComboBox, editor->DefendingTypeComboBox,
                     editor->CustomMultFactorComboBox, editor->ListBox1}) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
                heard << accessible->text(QAccessible::Name); // its label's, where it has one
                for (auto [label, relation] : accessible->relations(QAccessible::Label))
                    heard.last() = label->text(QAccessible::Name);
            }
            heard << Answer({u"escape"_s, u"enter"_s}, [&] {
                editor->VersionsCompatible1->trigger();
                Press(*editor.form, 57, editor->InsertButton);
            });
        }
        QCOMPARE(Shown(*editor.form), english);
        QCOMPARE(TableBytes(), RealChart().left(ChartSize));
        AsReviewed(heard, u"102ccc48cc34618d"_s);
    }

    // On Windows, File > Open is the system's own dialog with the window's file types, asked for
    // files on disk only: a phone's or an archive's item would come back as a temporary copy, which
    // a save would go into. A typed name need not exist. (Showing it needs a display; here the
    // window's dialog is the toolkit's, fingerprinted above.)
    void systemOpenDialogTakesFilesOnDiskOnly() {
#ifdef Q_OS_WIN
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IFileOpenDialog* dialog = NewSystemOpenDialog(Editor()->OpenDialog1.Filter);
        FILEOPENDIALOGOPTIONS options = 0;
        const bool asked = dialog && SUCCEEDED(dialog->GetOptions(&options));
        if (dialog)
            dialog->Release();
        if (SUCCEEDED(com))
            CoUninitialize();
        QVERIFY(asked);
        QCOMPARE(options & (FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST),
                 FILEOPENDIALOGOPTIONS(FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST));
#else
        QSKIP("The system's own dialog is Windows'");
#endif
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"

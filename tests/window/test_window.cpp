// The window and its two languages: what it looks like (texts, geometry, tab order and the file
// dialog, as reviewed), the custom selector following the group, an exception inside a handler,
// and a switch of language: every caption, list text, screen-reader name and box in the language
// in force, every selection kept.

#include "support/editor.h"

#include <QAccessible>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QFileDialog>

#include <stdexcept>

namespace {
// Every caption, item, text, selection and state the window's named parts show.
QStringList Shown(const TForm1& form) {
    QStringList shown;
    for (const QObject* object : form.findChildren<QObject*>(QRegularExpression(u"."_s))) {
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

QString Fingerprint(const QStringList& lines) {
    return QString::fromLatin1(
        QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16));
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    // Fingerprints of what must stay as reviewed: every text of the program in both languages
    // (the About texts as assembled among them), the open dialog in both languages, the client
    // area's pixels (a label sizes itself to its text, so only its place counts) and the order in
    // which Tab walks the controls. An edited text, a lost line break, a source saved in another
    // encoding, a moved control or two swapped tab stops change one; a deliberate change updates
    // it here, with what it now is printed on failure.
    void surfaceIsTheReviewedOne() {
        Editor editor;
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.form.get()));
        QStringList texts(TypeNames.begin(), TypeNames.end()), dialog, geometry, tabOrder;
        texts << ForesightLabel[0] << ForesightLabel[1] << ErrorLabel[0] << ErrorLabel[1]
              << QStringList(FactorLabels.begin(), FactorLabels.end());
        for (const LangPair& pair : InterfaceStrings)
            texts << pair[0] << pair[1];
        editor->Francais1->trigger();
        dialog << DialogTexts(*editor.form);
        editor->English1->trigger();
        dialog << DialogTexts(*editor.form);
        const QWidget* area = editor->ClientArea;
        geometry << u"%1x%2"_s.arg(area->width()).arg(area->height());
        for (const QWidget* c : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible()) // the label naming the custom list to screen readers is not drawn
                geometry << u"%1 %2,%3 %4"_s.arg(c->objectName())
                                .arg(c->x())
                                .arg(c->y())
                                .arg(qobject_cast<const QLabel*>(c)
                                         ? 0
                                         : c->width() * 1000 + c->height());
        for (QWidget* w = editor->ListBox1->nextInFocusChain(); w != editor->ListBox1;
             w = w->nextInFocusChain())
            if (area->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
                tabOrder << w->objectName();
        const QString now = Fingerprint(texts) + u' ' + Fingerprint(dialog) + u' ' +
                            Fingerprint(geometry) + u' ' + Fingerprint(tabOrder);
        if (now != u"b05d15cdec50bedf ceff26c590d8e4d5 32e556c54b2b7a19 5ef960a35c3b3ddb")
            qInfo() << texts << dialog << geometry << tabOrder;
        QCOMPARE(now, u"b05d15cdec50bedf ceff26c590d8e4d5 32e556c54b2b7a19 5ef960a35c3b3ddb");
    }

    // 255 items, 0 to 25.4; enabled exactly while Custom is chosen, a language switch
    // notwithstanding.
    void customSelectorFollowsTheGroup() {
        Editor editor(RealChart());
        QCOMPARE(editor->CustomMultFactorComboBox->count(), 255);
        QCOMPARE(editor->CustomMultFactorComboBox->itemText(254), u"25.4"_s);
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

    // French, French again, then English. Each caption shows its own text of the language in
    // force, once, even after the toolkit has told the window of the change; the title and the
    // language items stay; a screen reader names the drop-down lists by their labels and the list
    // by its own name. Every selection stays, the list speaks the language, and so do the boxes,
    // their buttons through the toolkit, Enter still No. The language already in force changes
    // nothing, not even a text altered by hand ("marker"); English brings back all there was.
    void switchingLanguage() {
        Editor editor(RealChart());
        Select(*editor.form, 13, 17, 4, 25);
        editor->ListBox1->setCurrentRow(57);
        const QStringList english = Shown(*editor.form);
        QStringList heard;
        for (QAction* item : {editor->Francais1, editor->Francais1, editor->English1}) {
            editor->ListBox1->item(3)->setText(u"marker"_s);
            item->trigger();
            QCoreApplication::sendPostedEvents();
            const QStringList shown = Shown(*editor.form);
            for (int key = FileMenuCaption; key <= MultFactorRadioGroupCaption; ++key)
                QCOMPARE(shown.count(CurrentText(StringKey(key))), 1);
            heard << editor->windowTitle() + editor->English1->text() + editor->Francais1->text();
            for (QWidget* control : std::initializer_list<QWidget*>{
                     editor->AttackingTypeComboBox, editor->DefendingTypeComboBox,
                     editor->CustomMultFactorComboBox, editor->ListBox1}) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
                heard << accessible->text(QAccessible::Name); // of a list: its current item
                for (auto [label, relation] : accessible->relations(QAccessible::Label))
                    heard.last() = label->text(QAccessible::Name);
            }
            heard << editor->ListBox1->item(3)->text() << editor->ListBox1->currentItem()->text()
                  << editor->AttackingTypeComboBox->currentText();
            QCOMPARE(Answer({u"escape"_s, u"enter"_s},
                            [&] {
                                editor->VersionsCompatible1->trigger();
                                Press(*editor.form, 57, editor->InsertButton);
                            }),
                     QStringList({Box(VersionsCompatibleTitle, VersionsCompatibleText),
                                  Box(WarningTitle, DeleteLastEntryMessage,
                                      Language ? u"Oui Non*"_s : u"Yes No*"_s)}));
        }
        QCOMPARE(heard.join(u", "_s),
                 u"Quorvane&English&Français, Type Offensif, Type Défensif, Coutume, Entrées de la "
                 u"table des types, Feu vs Eau = 0.5, Sol vs Plante = 0.5, Électrique, "
                 u"Quorvane&English&Français, Type Offensif, Type Défensif, Coutume, Entrées de la "
                 u"table des types, marker, Sol vs Plante = 0.5, Électrique, "
                 u"Quorvane&English&Français, Attacking Type, Defending Type, Custom, Type chart "
                 u"entries, Fire vs Water = 0.5, Ground vs Grass = 0.5, Electric"_s);
        QCOMPARE(Shown(*editor.form), english);
        QCOMPARE(TableBytes(), RealChart().left(ChartSize));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"

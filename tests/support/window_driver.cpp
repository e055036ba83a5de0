#include "support/window_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString Describe(const QMessageBox* box) {
    QString line = box->windowTitle() + u" | "_s + box->text() + u" |"_s;
    for (QMessageBox::StandardButton standard :
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok})
        if (const QAbstractButton* button = box->button(standard))
            line += u' ' + button->text().remove(u'&') +
                    (button == box->defaultButton() ? u"*"_s : QString());
    return line + (box->icon() == QMessageBox::NoIcon ? QString() : u" !"_s);
}

void Take(QWidget* modal, const QString& step) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    auto* name = modal->findChild<QLineEdit*>(u"fileNameEdit"_s);
    if (box && step == u"yes")
        box->button(QMessageBox::Yes)->click();
    else if (step == u"enter" || step == u"escape")
        QTest::keyClick(modal, step == u"enter" ? Qt::Key_Return : Qt::Key_Escape);
    else if (name) {
        name->setText(step);
        QTest::keyClick(name, Qt::Key_Return);
    }
}
} // namespace

QStringList Answer(QStringList steps, const std::function<void()>& action) {
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen.append(box ? Describe(box) : u"dialog"_s);
        if (steps.isEmpty()) {
            seen.append(u"unexpected"_s);
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
        } else { // from the event loop, not from inside this timer's slot
            QTimer::singleShot(0, modal, [modal, step = steps.takeFirst()] { Take(modal, step); });
        }
    });
    timer.start(5);
    action();
    for (const QString& step : steps)
        seen.append(u"unused "_s + step);
    return seen;
}

Editor::Editor(const QByteArray& chart) {
    ResetProgramState();
    SetMessagePresenter(ShowMessageBox);
    form = std::make_unique<TForm1>();
    Form1 = form.get();
    if (!chart.isEmpty())
        OpenImage(*form, path = WriteImage(dir.filePath(u"rom.gba"_s), chart));
}

Editor::~Editor() {
    Form1 = nullptr;
    form.reset();
    SetMessagePresenter(nullptr);
    ResetProgramState();
}

void OpenImage(TForm1& form, const QString& path) {
    QCOMPARE(Answer({path}, [&] { form.Open1->trigger(); }), QStringList(u"dialog"_s));
}

void Select(TForm1& form, int attacking, int defending, int radioItem, int customItem) {
    form.AttackingTypeComboBox->setCurrentIndex(attacking);
    form.DefendingTypeComboBox->setCurrentIndex(defending);
    form.SetMultFactorItemIndex(radioItem);
    form.CustomMultFactorComboBox->setCurrentIndex(customItem);
}

void Press(TForm1& form, int row, QPushButton* button) {
    form.ListBox1->setCurrentRow(row);
    QVERIFY(button->isEnabled());
    button->click();
}

QString FileState(const TForm1& form) {
    int enabled = form.Save1->isEnabled() + form.Close1->isEnabled();
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             form.ChangeButton, form.InsertButton, form.AttackingTypeLabel, form.DefendingTypeLabel,
             form.AttackingTypeComboBox, form.DefendingTypeComboBox, form.MultFactorRadioGroup,
             form.ChangeToForesightEntryButton, form.InsertForesightEntryButton, form.DeleteButton})
        enabled += control->isEnabled();
    return u"%1, %2 rows, row %3, %4 of 12 enabled"_s.arg(RomStream.is_open() ? u"open" : u"closed")
        .arg(form.ListBox1->count())
        .arg(form.ListBox1->currentRow())
        .arg(enabled);
}

#include "support/window_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

ModalAction Click(QMessageBox::StandardButton button) {
    return [button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY2(box && box->button(button), "expected a message box with that button");
        box->button(button)->click();
    };
}

ModalAction PressKey(Qt::Key key) {
    return [key](QWidget* modal) { QTest::keyClick(modal, key); };
}

ModalAction ChooseFile(const QString& path) {
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY2(dialog, "expected the file dialog");
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    };
}

ModalAction CancelDialog() {
    return PressKey(Qt::Key_Escape);
}

ModalAction CheckThenPress(std::function<void()> check, Qt::Key key) {
    return [check, key](QWidget* modal) {
        check();
        QTest::keyClick(modal, key);
    };
}

namespace {
// Only the newest script answers; an older one still alive waits until it is gone.
ModalScript* ActiveScript = nullptr;
} // namespace

ModalScript::ModalScript(QList<ModalAction> actions)
    : actions_(std::move(actions)), timer_(std::make_unique<QTimer>()),
      previous_(std::exchange(ActiveScript, this)) {
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { poll(); });
    timer_->start(5);
}

ModalScript::~ModalScript() {
    ActiveScript = previous_;
}

void ModalScript::poll() {
    if (ActiveScript != this)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal->property("answered").toBool())
        return;
    modal->setProperty("answered", true);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        SeenBox seen{box->windowTitle(), box->text(), {}, QMessageBox::NoButton, box->icon()};
        for (QAbstractButton* button : box->buttons())
            seen.buttons.append(box->standardButton(button));
        if (box->defaultButton())
            seen.defaultButton = box->standardButton(box->defaultButton());
        boxes.append(seen);
    } else if (qobject_cast<QFileDialog*>(modal)) {
        ++fileDialogs;
    }
    if (actions_.isEmpty()) {
        ++unexpected;
        QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
        return;
    }
    ModalAction action = actions_.takeFirst();
    QPointer<QWidget> target(modal);
    // Answer from the event loop, not from inside this timer's own slot.
    QTimer::singleShot(0, [action, target] {
        if (target)
            action(target);
    });
}

FreshWindow::FreshWindow() {
    ResetProgramState();
    SetMessagePresenter(ShowMessageBox);
    form_ = std::make_unique<TForm1>();
    Form1 = form_.get();
}

FreshWindow::~FreshWindow() {
    Form1 = nullptr;
    form_.reset();
    SetMessagePresenter(nullptr);
    ResetProgramState();
}

void OpenImage(TForm1& form, const QString& path) {
    ModalScript script({ChooseFile(path)});
    form.Open1->trigger();
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected, 0);
    QVERIFY(script.boxes.isEmpty());
}

QStringList ListTexts(const TForm1& form) {
    QStringList texts;
    for (int row = 0; row < form.ListBox1->count(); ++row)
        texts.append(form.ListBox1->item(row)->text());
    return texts;
}

QList<bool> OpenFileControlStates(const TForm1& form) {
    return {form.Save1->isEnabled(),
            form.Close1->isEnabled(),
            form.ChangeButton->isEnabled(),
            form.InsertButton->isEnabled(),
            form.AttackingTypeLabel->isEnabled(),
            form.DefendingTypeLabel->isEnabled(),
            form.AttackingTypeComboBox->isEnabled(),
            form.DefendingTypeComboBox->isEnabled(),
            form.MultFactorRadioGroup->isEnabled(),
            form.ChangeToForesightEntryButton->isEnabled(),
            form.InsertForesightEntryButton->isEnabled(),
            form.DeleteButton->isEnabled()};
}

namespace {
QString Describe(const QWidget* widget) {
    QString line = widget->objectName() + (widget->isEnabled() ? u" on"_s : u" off"_s);
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        line += u" '"_s + button->text() + u"' "_s + QString::number(button->isChecked());
    if (auto* label = qobject_cast<const QLabel*>(widget))
        line += u" '"_s + label->text() + u'\'';
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        line += u" '"_s + group->title() + u'\'';
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        line += u" @"_s + QString::number(combo->currentIndex());
        for (int i = 0; i < combo->count(); ++i)
            line += u'|' + combo->itemText(i);
    }
    if (auto* list = qobject_cast<const QListWidget*>(widget)) {
        line += u" @"_s + QString::number(list->currentRow());
        for (int i = 0; i < list->count(); ++i)
            line += u'|' + list->item(i)->text();
    }
    return line;
}
} // namespace

QStringList Snapshot(TForm1& form) {
    QStringList lines{form.windowTitle()};
    for (const QWidget* widget : form.ClientArea->findChildren<QWidget*>())
        lines.append(Describe(widget));
    for (const QMenu* menu : form.MainMenu1->findChildren<QMenu*>())
        lines.append(menu->objectName() + u' ' + menu->title());
    for (const QAction* action : form.findChildren<QAction*>())
        lines.append(action->objectName() + u' ' + action->text() +
                     QString::number(action->isEnabled()) + QString::number(action->isChecked()));
    lines.append(form.OpenDialog1.Filter + form.OpenDialog1.DefaultExt);
    return lines;
}

bool SetImmutable(const QString& path, bool immutable) {
    int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

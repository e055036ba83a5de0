#include "support/editor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

using namespace Qt::StringLiterals;
QByteArray RealChart() {
    QFile file(QStringLiteral(QUORVANE_TEST_DATA "/gen3-type-chart.hex"));
    QByteArray chart = file.open(QIODevice::ReadOnly) ? QByteArray::fromHex(file.readAll()) : "";
    if (chart.size() != ChartSize + ChartRecordSize)
        qFatal("%s should hold 112 records", qPrintable(file.fileName()));
    return chart;
}

QByteArray TableBytes() {
    QByteArray bytes;
    for (const TypeChartEntry& e : TypeChart)
        bytes.append(char(e.attacking)).append(char(e.defending)).append(char(e.factor));
    return bytes;
}

QString WriteImage(const QString& path, const QByteArray& chart, const QByteArray& code,
                   std::uint32_t offset, qint64 size) {
    const QByteArray noise =
        QByteArray::number(offset).repeated(1024).left(4096); // no chart's bytes
    QFile file(path);
    auto put = [&](qint64 at, const QByteArray& bytes) {
        return file.seek(at) && file.write(bytes) == bytes.size();
    };
    if (!file.open(QIODevice::WriteOnly) || !put(0, noise) || !put(172, code) ||
        !put(offset - 4096, noise + chart + noise) || !file.resize(size))
        qFatal("Could not write the test image %s", qPrintable(path));
    return path;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Released(const QString& path) {
#ifdef Q_OS_LINUX // where the system lists the process's descriptors: none may lead to the file
    const QString file = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir(u"/proc/self/fd"_s).entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == file)
            return false;
#endif
    RomFileStream otherEditor;
    otherEditor.open(path);
    return otherEditor.is_open() || !QFileInfo(path).isFile();
}

void ResetProgramState() {
    RomStream.close();
    TypeChart = TypeChartTable{};
    TableOffset = 0;
    Language = 0;
}

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
    return seen;
}

QString Box(StringKey title, StringKey text, const QString& buttons) {
    return CurrentText(title) + u" | "_s + CurrentText(text) + u" | "_s + buttons;
}

Editor::Editor(const QByteArray& chart) {
    ResetProgramState();
    SetMessagePresenter(ShowMessageBox);
    form = std::make_unique<TForm1>();
    Form1 = form.get();
    if (!chart.isEmpty()) {
        path = WriteImage(dir.filePath(u"rom.gba"_s), chart);
        QCOMPARE(Answer({path}, [&] { form->Open1->trigger(); }), QStringList(u"dialog"_s));
    }
}

Editor::~Editor() {
    Form1 = nullptr;
    form.reset();
    ResetProgramState();
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
    int enabled = 0;
    for (const QString& name :
         u"Save1 Close1 ChangeButton InsertButton AttackingTypeLabel DefendingTypeLabel "
         u"AttackingTypeComboBox DefendingTypeComboBox MultFactorRadioGroup "
         u"ChangeToForesightEntryButton InsertForesightEntryButton DeleteButton"_s.split(u' '))
        enabled += form.findChild<QObject*>(name)->property("enabled").toBool();
    return u"%1, %2 rows, row %3, %4 of 12 enabled"_s.arg(RomStream.is_open() ? u"open" : u"closed")
        .arg(form.ListBox1->count())
        .arg(form.ListBox1->currentRow())
        .arg(enabled);
}

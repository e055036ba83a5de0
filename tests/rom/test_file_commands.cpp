// Open, Save, Close and Exit through the real menu, file dialog, message boxes and files.

#include "support/window_driver.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString UnsupportedEnglish =
    u"Sorry, but the rom you chose isn't supported by this program yet, or isn't a generation "
    u"III Pokémon rom."_s;
const QList<QMessageBox::StandardButton> OkOnly{QMessageBox::Ok};
const QList<QMessageBox::StandardButton> YesNo{QMessageBox::Yes, QMessageBox::No};

void Select(TForm1& form, int attacking, int defending, int factorItem, int custom = 0) {
    form.AttackingTypeComboBox->setCurrentIndex(attacking);
    form.DefendingTypeComboBox->setCurrentIndex(defending);
    form.SetMultFactorItemIndex(factorItem);
    form.CustomMultFactorComboBox->setCurrentIndex(custom);
}

void ChangeRow(TForm1& form, int row) {
    form.ListBox1->setCurrentRow(row);
    form.ChangeButton->click();
}

void ExpectNoRomState(TForm1& form) {
    QVERIFY(!RomStream.is_open());
    QCOMPARE(form.ListBox1->count(), 0);
    QCOMPARE(OpenFileControlStates(form), QList<bool>(12, false));
}

// Lowers the file-size limit for one save, so that the write past it fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            bytes, saved_.rlim_max
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    struct rlimit saved_ {};
};

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private slots:
    void opensEveryRelease_data() {
        QTest::addColumn<QByteArray>("code");
        for (const SupportedRom& rom : SupportedRoms)
            QTest::newRow(rom.release) << QByteArray(rom.gameCode);
    }
    void opensEveryRelease() {
        QFETCH(QByteArray, code);
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, code.constData());
        QByteArray before = FileBytes(path);
        ModalScript script({ChooseFile(path)});
        form->Open1->trigger();
        QCOMPARE(script.fileDialogs, 1);
        QVERIFY(script.boxes.isEmpty());
        QCOMPARE(form->ListBox1->count(), 111);
        QCOMPARE(form->ListBox1->item(0)->text(), u"Normal vs Rock = 0.5"_s);
        QCOMPARE(form->ListBox1->item(108)->text(), u"*Foresight Entry*"_s);
        QCOMPARE(form->ListBox1->currentRow(), 0);
        QCOMPARE(OpenFileControlStates(*form), QList<bool>(12, true));
        QCOMPARE(TableOffset, OffsetOf(code.constData()));
        QCOMPARE(FileBytes(path), before);
    }

    void refusedFilesLeaveNoImageOpen_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("overAnImage");
        for (const QString& kind :
             {u"unsupported"_s, u"lower-case code"_s, u"missing"_s, u"too short"_s, u"empty"_s,
              u"locked"_s, u"fifo"_s, u"device"_s, u"symbolic-link loop"_s, u"read-only"_s}) {
            QTest::addRow("%s", qPrintable(kind)) << kind << false;
            QTest::addRow("%s over an image", qPrintable(kind)) << kind << true;
        }
    }
    void refusedFilesLeaveNoImageOpen() {
        QFETCH(QString, kind);
        QFETCH(bool, overAnImage);
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.path(u"chosen.gba"_s);
        RomFileStream otherProgram;
        if (kind == u"unsupported")
            folder.writeImage(u"chosen.gba"_s, "AGBJ", {}, 1u << 20);
        else if (kind == u"lower-case code")
            folder.writeImage(u"chosen.gba"_s, "bpre", ChartBytes(RealChart()), 4u << 20);
        else if (kind == u"too short")
            folder.writeFile(u"chosen.gba"_s, QByteArray(175, 'A'));
        else if (kind == u"empty")
            folder.writeFile(u"chosen.gba"_s, {});
        else if (kind == u"locked") {
            folder.writeRealImage(u"chosen.gba"_s, "BPRE");
            otherProgram.open(path);
            QVERIFY(otherProgram.is_open());
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == u"device") {
            path = u"/dev/zero"_s;
        } else if (kind == u"symbolic-link loop") {
            QVERIFY(QFile::link(folder.path(u"other.gba"_s), path));
            QVERIFY(QFile::link(path, folder.path(u"other.gba"_s)));
        } else if (kind == u"read-only") {
            folder.writeRealImage(u"chosen.gba"_s, "BPRE");
            if (!SetImmutable(path, true))
                QSKIP("This file system cannot make a file read-only for root");
        }
        QByteArray before = FileBytes(path);

        if (overAnImage) {
            OpenImage(*form, folder.writeRealImage(u"loaded.gba"_s, "AXPE"));
            form->ListBox1->setCurrentRow(9);
        }
        TypeChartTable chartBefore = TypeChart;
        std::uint32_t offsetBefore = TableOffset;
        int foresightBefore = ForesightEntryCount;
        QList<ModalAction> answers;
        if (overAnImage)
            answers.append(Click(QMessageBox::Yes));
        answers.append(ChooseFile(path));
        answers.append(CheckThenPress([&] {
            // the box comes first; the state is put right once it is answered
            QCOMPARE(form->ListBox1->count(), overAnImage ? 111 : 0);
        }));
        ModalScript script(answers);
        form->Open1->trigger();
        SetImmutable(path, false);
        QVERIFY(script.finished());
        QCOMPARE(script.unexpected, 0);
        const SeenBox& refusal = script.boxes.last();
        QCOMPARE(refusal.title, u"Attention"_s);
        QCOMPARE(refusal.text, UnsupportedEnglish);
        QCOMPARE(refusal.buttons, OkOnly);
        QCOMPARE(refusal.icon, QMessageBox::NoIcon);
        ExpectNoRomState(*form);
        QCOMPARE(TableOffset, offsetBefore);
        QCOMPARE(ForesightEntryCount, foresightBefore);
        for (int i = 0; i < MaxEntries; ++i)
            QCOMPARE(TypeChart[i].text, chartBefore[i].text);
        QCOMPARE(FileBytes(path), before);

        // No image is open, so the next Open asks nothing before its dialog.
        ModalScript next({CancelDialog()});
        form->Open1->trigger();
        QCOMPARE(next.fileDialogs, 1);
        QVERIFY(next.boxes.isEmpty());
    }

    void severalForesightEntriesAreShownThenWarned() {
        FreshWindow form;
        ImageFolder folder;
        QList<ChartRecordBytes> chart = RealChart();
        chart[20] = {254, 254, 0};
        QString path = folder.writeImage(u"rom.gba"_s, "BPRF", ChartBytes(chart));
        ModalScript script({ChooseFile(path), CheckThenPress([&] {
                                QCOMPARE(form->ListBox1->count(), 111);
                                QCOMPARE(form->ListBox1->item(20)->text(), u"*Foresight Entry*"_s);
                            })});
        form->Open1->trigger();
        QCOMPARE(script.boxes.size(), 1);
        QCOMPARE(script.boxes[0].title, u"Warning"_s);
        QCOMPARE(script.boxes[0].text, u"There's more than one Foresight entry present."_s);
        QCOMPARE(script.boxes[0].buttons, OkOnly);
        QVERIFY(RomStream.is_open());
    }

    void openOverAnImageAnsweredNo_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("No") << 0;
    }
    void openOverAnImageAnsweredNo() {
        QFETCH(int, answer);
        FreshWindow form;
        ImageFolder folder;
        OpenImage(*form, folder.writeRealImage(u"rom.gba"_s, "BPGE"));
        Select(*form, 10, 11, 1);
        ChangeRow(*form, 30);
        QStringList before = Snapshot(*form);
        ModalScript script({answer ? PressKey(Qt::Key(answer)) : Click(QMessageBox::No)});
        form->Open1->trigger();
        QCOMPARE(script.fileDialogs, 0);
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(script.boxes.size(), 1);
        QCOMPARE(script.boxes[0].title, u"Warning"_s);
        QCOMPARE(script.boxes[0].text,
                 u"There's already a file open. Are you sure you want to open another? Any data "
                 u"not saved will be lost."_s);
        QCOMPARE(script.boxes[0].buttons, YesNo);
        QCOMPARE(script.boxes[0].defaultButton, QMessageBox::No);
        QCOMPARE(Snapshot(*form), before);
        QVERIFY(RomStream.is_open());
    }

    void openOverAnImageThenCancelKeepsItAndItsEdits() {
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        OpenImage(*form, path);
        Select(*form, 16, 16, 3);
        ChangeRow(*form, 2);
        QStringList before = Snapshot(*form);
        ModalScript script({Click(QMessageBox::Yes), CancelDialog(), PressKey(Qt::Key_Return)});
        form->Open1->trigger();
        QCOMPARE(script.fileDialogs, 1);
        QCOMPARE(Snapshot(*form), before);
        QCOMPARE(form->ListBox1->item(2)->text(), u"Dragon vs Dragon = 2"_s);
        form->Save1->trigger();
        QCOMPARE(script.boxes.last().text, u"The file was successfully saved!"_s);
        QCOMPARE(FileBytes(path).mid(OffsetOf("BPRE") + 6, 3), QByteArray("\x10\x10\x14"));
    }

    void openOverAnImageKeepsTheSelectedRow() {
        FreshWindow form;
        ImageFolder folder;
        OpenImage(*form, folder.writeRealImage(u"first.gba"_s, "BPRE"));
        form->ListBox1->setCurrentRow(42);
        QList<ChartRecordBytes> chart = RealChart();
        chart[42] = {7, 7, 20};
        QString second = folder.writeImage(u"second.gba"_s, "AXVF", ChartBytes(chart));
        ModalScript script({Click(QMessageBox::Yes), ChooseFile(second)});
        form->Open1->trigger();
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(form->ListBox1->currentRow(), 42);
        QCOMPARE(form->ListBox1->currentItem()->text(), u"Ghost vs Ghost = 2"_s);
        QCOMPARE(TableOffset, OffsetOf("AXVF"));
    }

    void saveWritesExactlyTheEditedRecords() {
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        QByteArray original = FileBytes(path);
        OpenImage(*form, path);
        Select(*form, 10, 17, 4, 25); // Fire vs Dark = 2.5
        ChangeRow(*form, 0);
        ChangeRow(*form, 110);
        QCOMPARE(form->ListBox1->item(110)->text(), u"Fire vs Dark = 2.5"_s);

        ModalScript script({PressKey(Qt::Key_Return), PressKey(Qt::Key_Return)});
        form->Save1->trigger();
        QByteArray saved = FileBytes(path);
        form->Save1->trigger();
        QCOMPARE(script.boxes.size(), 2);
        for (const SeenBox& box : script.boxes) {
            QCOMPARE(box.title, u"Attention"_s);
            QCOMPARE(box.text, u"The file was successfully saved!"_s);
            QCOMPARE(box.buttons, OkOnly);
        }
        QCOMPARE(FileBytes(path), saved);

        const std::uint64_t chart = OffsetOf("BPRE");
        QByteArray expected = original;
        expected.replace(qsizetype(chart), 3, QByteArray("\x0a\x11\x19", 3));
        expected.replace(qsizetype(chart + 330), 3, QByteArray("\x0a\x11\x19", 3));
        QCOMPARE(DifferingOffsets(expected, saved), QList<std::uint64_t>());
        for (std::uint64_t offset : DifferingOffsets(original, saved))
            QVERIFY(offset < chart + 3 || (offset >= chart + 330 && offset < chart + 333));
    }

    void closeThenOpenShowsTheLastSave() {
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPEF");
        OpenImage(*form, path);
        Select(*form, 1, 2, 0);
        ChangeRow(*form, 5);
        {
            ModalScript script({PressKey(Qt::Key_Return)});
            form->Save1->trigger();
        }
        Select(*form, 3, 4, 0);
        ChangeRow(*form, 6);
        QStringList edited = ListTexts(*form);
        form->SetMultFactorItemIndex(4);
        form->Close1->trigger();
        ExpectNoRomState(*form);
        QCOMPARE(form->MultFactorItemIndex(), 4);
        QVERIFY(form->CustomMultFactorComboBox->isEnabled()); // Close leaves it alone

        OpenImage(*form, path);
        QCOMPARE(form->ListBox1->item(5)->text(), u"Fighting vs Flying = 0"_s);
        QCOMPARE(form->ListBox1->item(6)->text(), u"Fire vs Bug = 2"_s);
        QVERIFY(ListTexts(*form) != edited);
    }

    void failedSaveIsReported() {
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "BPRE");
        QByteArray original = FileBytes(path);
        OpenImage(*form, path);
        ChangeRow(*form, 0);
        ModalScript script({PressKey(Qt::Key_Return)});
        {
            FileSizeLimit limit(1u << 20); // below the chart
            form->Save1->trigger();
        }
        QCOMPARE(script.boxes.size(), 1);
        QCOMPARE(script.boxes[0].title, u"Warning"_s);
        QCOMPARE(script.boxes[0].text, u"The file could not be saved!"_s);
        QCOMPARE(script.boxes[0].buttons, OkOnly);
        QCOMPARE(FileBytes(path), original);
    }

    void saveAfterAReadPastTheEndWritesNothing() {
        FreshWindow form;
        ImageFolder folder;
        QByteArray bytes(int(OffsetOf("AXVE")) + 30, 'r');
        bytes.replace(GameCodeOffset, 4, "AXVE");
        QString path = folder.writeFile(u"cut.gba"_s, bytes);
        OpenImage(*form, path);
        QCOMPARE(form->ListBox1->item(110)->text(), u"*Error*(255) vs *Error*(255) = 25.5"_s);
        ModalScript script({PressKey(Qt::Key_Return)});
        form->Save1->trigger();
        QCOMPARE(script.boxes.size(), 1);
        QCOMPARE(script.boxes[0].text, u"The file could not be saved!"_s);
        QCOMPARE(FileBytes(path), bytes);
    }

    void exitAndTheCloseBoxAskNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("File > Exit") << false;
        QTest::newRow("close box") << true;
    }
    void exitAndTheCloseBoxAskNothing() {
        QFETCH(bool, closeBox);
        FreshWindow form;
        ImageFolder folder;
        QString path = folder.writeRealImage(u"rom.gba"_s, "AXPF");
        OpenImage(*form, path);
        ChangeRow(*form, 1);
        {
            ModalScript script({PressKey(Qt::Key_Return)});
            form->Save1->trigger();
        }
        QByteArray saved = FileBytes(path);
        ChangeRow(*form, 2); // unsaved
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form));
        ModalScript script;
        if (closeBox)
            form->close();
        else
            form->Exit1->trigger();
        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(script.boxes.size(), 0);
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(FileBytes(path), saved);
    }

    void boxesInFrench() {
        FreshWindow form;
        ImageFolder folder;
        form->Francais1->trigger();
        QList<ChartRecordBytes> chart = RealChart();
        chart[0] = {254, 254, 0};
        QString path = folder.writeImage(u"rom.gba"_s, "BPRE", ChartBytes(chart));
        QString unsupported = folder.writeImage(u"other.gba"_s, "XXXX", {}, 4096);
        ModalScript script({ChooseFile(path), PressKey(Qt::Key_Return), PressKey(Qt::Key_Return),
                            PressKey(Qt::Key_Escape), Click(QMessageBox::Yes),
                            ChooseFile(unsupported), PressKey(Qt::Key_Return)});
        form->Open1->trigger(); // the Foresight warning
        form->Save1->trigger();
        form->Open1->trigger(); // asked, answered No
        form->Open1->trigger(); // asked, answered Yes, then refused
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), 5);
        QCOMPARE(script.boxes[0].title, u"Alerte"_s);
        QCOMPARE(script.boxes[0].text, u"Il y a plus d'une entrée de Clairvoyance présente."_s);
        QCOMPARE(script.boxes[1].title, u"Attention"_s);
        QCOMPARE(script.boxes[1].text, u"La rom a bien été sauvegardée!"_s);
        for (int i : {2, 3}) {
            QCOMPARE(script.boxes[i].title, u"Alerte"_s);
            QCOMPARE(script.boxes[i].text,
                     u"Un fichier est déja ouvert. Êtes-vous sûr de vouloir ouvrir un autre? "
                     u"Toutes les données non sauvegardées seront perdues."_s);
        }
        QCOMPARE(script.boxes[4].title, u"Attention"_s);
        QCOMPARE(script.boxes[4].text,
                 u"Désolé, mais la rom que vous avez choisie n'est pas compatible avec cette "
                 u"programme encore, ou n'est pas une rom Pokémon de la génération GBA."_s);

        OpenImage(*form, folder.writeRealImage(u"plain.gba"_s, "BPGF"));
        ModalScript failure({PressKey(Qt::Key_Return), PressKey(Qt::Key_Return)});
        {
            FileSizeLimit limit(1u << 20);
            form->Save1->trigger();
        }
        QCOMPARE(failure.boxes.value(0).title, u"Alerte"_s);
        QCOMPARE(failure.boxes.value(0).text, u"La rom n'a pas pu être sauvegardée!"_s);
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"

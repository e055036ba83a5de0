// Faults between Open and Save, through the real window: what the user is told, and what is on
// disk afterwards. A save is reported as done only when the chart really is in the file at the
// path the user opened.

#include "support/window_driver.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
bool FailSync = false;
} // namespace

// This test program's own fsync, standing in for the C library's, so that a device that fails
// to write its cache can be simulated.
extern "C" int fsync(int fd) {
    if (FailSync) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

const QString Saved = u"The file was successfully saved!"_s;
const QString NotSaved = u"The file could not be saved!"_s;

// An editor with a real Fire Red image open and its first and last records changed.
class EditedImage {
public:
    explicit EditedImage(const QString& name = u"rom.gba"_s, std::uint64_t size = 16u << 20) {
        path = folder.writeImage(name, "BPRE", ChartBytes(RealChart()), size);
        original = window(std::uint64_t(0));
        OpenImage(*form, path);
        form->AttackingTypeComboBox->setCurrentIndex(16);
        form->SetMultFactorItemIndex(3);
        for (int row : {0, 110}) {
            form->ListBox1->setCurrentRow(row);
            form->ChangeButton->click();
        }
    }

    // The text of the one box a Save shows.
    QString save() {
        ModalScript script({PressKey(Qt::Key_Return)});
        form->Save1->trigger();
        return script.boxes.size() == 1 ? script.boxes[0].text
                                        : u"(boxes: %1)"_s.arg(script.boxes.size());
    }

    // The chart window and 64 bytes either side, at `path`.
    QByteArray window(std::uint64_t = 0, const QString& at = {}) const {
        QFile file(at.isEmpty() ? path : at);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(OffsetOf("BPRE") - 64))
            return {};
        return file.read(ChartSize + 128);
    }

    QByteArray editedWindow() const {
        QByteArray edited = original;
        edited.replace(64, 3, QByteArray("\x10\x00\x14", 3));
        edited.replace(64 + 330, 3, QByteArray("\x10\x00\x14", 3));
        return edited;
    }

    FreshWindow form;
    ImageFolder folder;
    QString path;
    QByteArray original;
};

} // namespace

class TestFaultInjection : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { FailSync = false; }

    void writeFailingPartWay() {
        EditedImage image;
        struct rlimit saved {};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            OffsetOf("BPRE") + 100, saved.rlim_max
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QString told = image.save();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(told, NotSaved);
        // Only the first 100 chart bytes could be written: the first record, not the last.
        QByteArray after = image.window();
        QCOMPARE(after.left(164), image.editedWindow().left(164));
        QCOMPARE(after.mid(164), image.original.mid(164));
        QCOMPARE(QFileInfo(image.path).size(), 16 << 20);
    }

    void syncFailing() {
        EditedImage image;
        FailSync = true;
        QCOMPARE(image.save(), NotSaved);
        FailSync = false;
        QCOMPARE(image.save(), NotSaved); // the failure lasts until the image is opened again
    }

    void madeReadOnlyBehindTheEditorsBack() {
        EditedImage image;
        // Permission bits do not bind root, so make it immutable, which does.
        if (!SetImmutable(image.path, true))
            QSKIP("This file system cannot make a file read-only for root");
        QString told = image.save();
        SetImmutable(image.path, false);
        QCOMPARE(told, NotSaved);
        QCOMPARE(image.window(), image.original);
    }

    void permissionsDroppedBehindTheEditorsBack() {
        EditedImage image; // the file was attached for writing before its bits changed
        QVERIFY(QFile::setPermissions(image.path, QFile::ReadOwner));
        QCOMPARE(image.save(), Saved);
        QCOMPARE(image.window(), image.editedWindow());
    }

    void renamedBehindTheEditorsBack() {
        EditedImage image;
        QString moved = image.folder.path(u"moved.gba"_s);
        QVERIFY(QFile::rename(image.path, moved));
        QCOMPARE(image.save(), NotSaved);
        QCOMPARE(image.window(0, moved), image.original);
        QVERIFY(!QFile::exists(image.path));
    }

    void replacedBehindTheEditorsBack() {
        EditedImage image;
        QByteArray replacement = FileBytes(image.path);
        QVERIFY(QFile::remove(image.path));
        image.folder.writeFile(u"rom.gba"_s, replacement);
        QCOMPARE(image.save(), NotSaved);
        QCOMPARE(image.window(), image.original);
    }

    void deletedBehindTheEditorsBack() {
        EditedImage image;
        QVERIFY(QFile::remove(image.path));
        QCOMPARE(image.save(), NotSaved);
        QVERIFY(!QFile::exists(image.path));
    }

    void truncatedBehindTheEditorsBack_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("saved");
        QTest::newRow("before the chart") << qint64(1 << 20) << false;
        QTest::newRow("inside the chart") << qint64(OffsetOf("BPRE") + 200) << false;
        QTest::newRow("after the chart") << qint64(OffsetOf("BPRE") + 400) << true;
    }
    void truncatedBehindTheEditorsBack() {
        QFETCH(qint64, size);
        QFETCH(bool, saved);
        EditedImage image;
        QVERIFY(QFile::resize(image.path, size));
        QCOMPARE(image.save(), saved ? Saved : NotSaved);
        QCOMPARE(QFileInfo(image.path).size(), size); // never grown back
        if (saved)
            QCOMPARE(image.window(), image.editedWindow().left(int(size - OffsetOf("BPRE") + 64)));
    }

    void secondCopyOfTheEditorIsRefused() {
        EditedImage image;
        // Another process, as a second copy of the editor would be.
        pid_t child = ::fork();
        if (child == 0) {
            RomFileStream second;
            second.open(image.path);
            ::_exit(second.is_open() ? 1 : 0);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(image.save(), Saved);
        QCOMPARE(image.window(), image.editedWindow());
    }

    void hugeSparseImage() {
        EditedImage image(u"huge.gba"_s, std::uint64_t(4) << 30);
        QCOMPARE(image.save(), Saved);
        QCOMPARE(image.window(), image.editedWindow());
        QCOMPARE(QFileInfo(image.path).size(), qint64(4) << 30);
    }

    void namesWithSpacesAndAccents() {
        EditedImage image(u"Pokémon Rouge Feu (FR) — copie ß.gba"_s);
        QCOMPARE(image.save(), Saved);
        QCOMPARE(image.window(), image.editedWindow());
        QCOMPARE(TableOffset, OffsetOf("BPRE"));
    }
};

QTEST_MAIN(TestFaultInjection)
#include "test_fault_injection.moc"

#pragma once
// Realistic ROM images on disk for the tests, built from the chart the generation III games
// ship (the fixture file), plus helpers to compare files and to answer message boxes.

#include "rom/rom_image.h"
#include "strings/message_boxes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>

// The 111 records of the real chart followed by its end-of-chart record.
QList<ChartRecordBytes> RealChart();
QByteArray ChartBytes(const QList<ChartRecordBytes>& records);

// The three bytes of every record TypeChart holds now.
QList<ChartRecordBytes> TableRecords();

// The chart offset of a supported game code.
std::uint32_t OffsetOf(const char* gameCode);

// Writes a sparse image of `size` bytes at `path`: random bytes in the header and around the
// chart, the code at offset 172 and `chart` at the code's chart offset.
void WriteImageFile(const QString& path, const QByteArray& gameCode, const QByteArray& chart,
                    std::uint64_t size = 16u << 20);

// Builds image files in a private temporary folder.
class ImageFolder {
public:
    ImageFolder();
    QString path(const QString& name) const { return dir_.filePath(name); }

    // A sparse image of `size` bytes with random bytes in the header and around the chart, the
    // code at offset 172 and `chart` at the code's chart offset.
    QString writeImage(const QString& name, const QByteArray& gameCode, const QByteArray& chart,
                       std::uint64_t size = 16u << 20);
    // The real chart for a supported release.
    QString writeRealImage(const QString& name, const char* gameCode);
    QString writeFile(const QString& name, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
};

QByteArray FileBytes(const QString& path);

// Offsets at which two files differ, and a size difference as one more offset.
QList<std::uint64_t> DifferingOffsets(const QByteArray& before, const QByteArray& after);

// Runs `job` in a child process as an unprivileged user and returns its exit status, or -1
// when privileges could not be dropped (so a test can say why it skips).
int RunUnprivileged(const std::function<int()>& job);

// Records every message box asked for and answers questions from a script (No when it runs
// out). Installed for its lifetime.
class ScriptedAnswers {
public:
    struct Shown {
        QString text;
        QString title;
        MessageButtons buttons;
    };
    explicit ScriptedAnswers(QList<bool> answers = {});
    ~ScriptedAnswers();
    QList<Shown> shown;

private:
    QList<bool> answers_;
    MessagePresenter previous_;
};

// Puts the program state back as it is right after start: chart zeros, stream detached.
void ResetProgramState();

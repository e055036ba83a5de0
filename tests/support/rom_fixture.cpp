#include "support/rom_fixture.h"

#include "chart/type_chart.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

QList<ChartRecordBytes> RealChart() {
    QFile file(QStringLiteral(QUORVANE_FIXTURES_DIR "/gen3-type-chart.hex"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The real chart fixture is missing: %s", qPrintable(file.fileName()));
    QList<ChartRecordBytes> records;
    for (const QByteArray& line : file.readAll().split('\n')) {
        QByteArray bytes = QByteArray::fromHex(line.trimmed());
        if (bytes.size() == ChartRecordSize)
            records.append({static_cast<std::uint8_t>(bytes[0]),
                            static_cast<std::uint8_t>(bytes[1]),
                            static_cast<std::uint8_t>(bytes[2])});
    }
    if (records.size() != MaxEntries + 1)
        qFatal("The real chart fixture should hold 112 records, holds %d", int(records.size()));
    return records;
}

QByteArray ChartBytes(const QList<ChartRecordBytes>& records) {
    QByteArray bytes;
    for (const ChartRecordBytes& r : records) {
        bytes.append(static_cast<char>(r.attacking));
        bytes.append(static_cast<char>(r.defending));
        bytes.append(static_cast<char>(r.factor));
    }
    return bytes;
}

QList<ChartRecordBytes> TableRecords() {
    QList<ChartRecordBytes> records;
    for (const TypeChartEntry& e : TypeChart)
        records.append({e.attacking, e.defending, e.factor});
    return records;
}

std::uint32_t OffsetOf(const char* gameCode) {
    for (const SupportedRom& rom : SupportedRoms)
        if (QByteArray(rom.gameCode) == gameCode)
            return rom.tableOffset;
    qFatal("Not a supported game code: %s", gameCode);
}

ImageFolder::ImageFolder() {
    if (!dir_.isValid())
        qFatal("No temporary folder");
}

namespace {
void WriteAt(QFile& file, std::uint64_t offset, const QByteArray& bytes) {
    if (!file.seek(static_cast<qint64>(offset)) || file.write(bytes) != bytes.size())
        qFatal("Could not build a test image");
}

QByteArray RandomBytes(QRandomGenerator& random, int count) {
    QByteArray bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random.bounded(256));
    return bytes;
}
} // namespace

QString ImageFolder::writeImage(const QString& name, const QByteArray& gameCode,
                                const QByteArray& chart, std::uint64_t size) {
    WriteImageFile(path(name), gameCode, chart, size);
    return path(name);
}

void WriteImageFile(const QString& filePath, const QByteArray& gameCode, const QByteArray& chart,
                    std::uint64_t size) {
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !file.resize(static_cast<qint64>(size)))
        qFatal("Could not create a test image");
    QRandomGenerator random(0x5eed);
    WriteAt(file, 0, RandomBytes(random, 4096));
    WriteAt(file, GameCodeOffset, gameCode);
    std::uint32_t offset = 0;
    for (const SupportedRom& rom : SupportedRoms)
        if (QByteArray(rom.gameCode) == gameCode)
            offset = rom.tableOffset;
    if (offset != 0 && offset + 4096u + static_cast<std::uint64_t>(chart.size()) <= size) {
        WriteAt(file, offset - 4096, RandomBytes(random, 8192 + int(chart.size())));
        WriteAt(file, offset, chart);
    }
}

QString ImageFolder::writeRealImage(const QString& name, const char* gameCode) {
    return writeImage(name, gameCode, ChartBytes(RealChart()));
}

QString ImageFolder::writeFile(const QString& name, const QByteArray& bytes) {
    QString filePath = path(name);
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("Could not create a test file");
    return filePath;
}

QByteArray FileBytes(const QString& path) {
    if (!QFileInfo(path).isFile()) // a FIFO would block the test waiting for a writer
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<std::uint64_t> DifferingOffsets(const QByteArray& before, const QByteArray& after) {
    QList<std::uint64_t> offsets;
    qsizetype common = qMin(before.size(), after.size());
    for (qsizetype i = 0; i < common; ++i)
        if (before[i] != after[i])
            offsets.append(static_cast<std::uint64_t>(i));
    if (before.size() != after.size())
        offsets.append(static_cast<std::uint64_t>(common));
    return offsets;
}

int RunUnprivileged(const std::function<int()>& job) {
    const struct passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr)
        return -1;
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0 || ::getuid() == 0)
            ::_exit(255);
        ::_exit(job());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

ScriptedAnswers::ScriptedAnswers(QList<bool> answers) : answers_(std::move(answers)) {
    previous_ = SetMessagePresenter(
        [this](const QString& text, const QString& title, MessageButtons buttons) {
            shown.append({text, title, buttons});
            if (buttons == MessageButtons::Ok)
                return false;
            return answers_.isEmpty() ? false : answers_.takeFirst();
        });
}

ScriptedAnswers::~ScriptedAnswers() {
    SetMessagePresenter(previous_);
}

void ResetProgramState() {
    if (RomStream.is_open())
        RomStream.close();
    TypeChart = TypeChartTable{};
    ForesightEntryCount = 0;
    TableOffset = 0;
    Language = 0;
}

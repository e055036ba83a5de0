#include "support/images.h"

#include <QFile>

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
    QByteArray noise(4096, 0);
    for (qsizetype i = 0; i < noise.size(); ++i) // bytes no chart or code holds in that order
        noise[i] = char(i * 151 + offset);
    QFile file(path);
    auto put = [&](qint64 at, const QByteArray& bytes) {
        return file.seek(at) && file.write(bytes) == bytes.size();
    };
    if (!file.open(QIODevice::WriteOnly) || !put(0, noise) || !put(GameCodeOffset, code) ||
        !put(offset - 4096, noise + chart + noise) || !file.resize(size))
        qFatal("Could not write the test image %s", qPrintable(path));
    return path;
}

QByteArray FileBytes(const QString& path, qint64 from, qint64 count) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from))
        return {};
    return count < 0 ? file.readAll() : file.read(count);
}

void ResetProgramState() {
    if (RomStream.is_open())
        RomStream.close();
    TypeChart = TypeChartTable{};
    TableOffset = 0;
    Language = 0;
}

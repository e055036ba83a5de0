// The end-to-end test's image files:
//   quorvane_e2e_image make PATH         a Fire Red image holding the real chart
//   quorvane_e2e_image expect IN OUT     IN as it must be after the scripted session in
//                                        run_e2e.sh, whose edits are mirrored here
#include "chart/entry_editing.h"
#include "support/rom_fixture.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void LoadChart(const QByteArray& bytes) {
    for (int i = 0; i < MaxEntries; ++i)
        StoreEntry(i, std::uint8_t(bytes[3 * i]), std::uint8_t(bytes[3 * i + 1]),
                   std::uint8_t(bytes[3 * i + 2]));
}

int Expect(const QString& in, const QString& out) {
    QByteArray image = FileBytes(in);
    const qsizetype offset = OffsetOf("BPRE");
    LoadChart(image.mid(offset, ChartSize));
    const FactorByte halved = FactorForSelection(1, 0);
    StoreEntry(5, 10, 11, halved); // Change at row 5: Fire vs Water = 0.5
    MoveEntriesBack(5);            // Insert at row 5, answered Yes the second time
    StoreEntry(5, 10, 11, halved);
    RemoveEntry(110); // Delete at row 110
    image.replace(offset, ChartSize, ChartBytes(TableRecords()));
    QFile file(out);
    return file.open(QIODevice::WriteOnly) && file.write(image) == image.size() ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == u"make") {
        WriteImageFile(args[2], "BPRE", ChartBytes(RealChart()));
        return 0;
    }
    if (args.size() == 4 && args[1] == u"expect")
        return Expect(args[2], args[3]);
    std::fprintf(stderr, "usage: quorvane_e2e_image make PATH | expect IN OUT\n");
    return 2;
}

// What an Open and a Save cost in I/O, read from the kernel's own counters for this process
// (/proc/self/io), for sparse images of the given sizes.
//   quorvane_io_bench FOLDER SIZE-IN-MIB...
// Just before and just after each Open and each Save it calls getppid(), so that a system-call
// trace (strace) of it can be cut at exactly those places. Reading the counters costs a read of
// its own, measured once and taken off every figure.
#include "chart/type_chart.h"
#include "rom/rom_image.h"

#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct IoCounters {
    long long rchar = 0, wchar = 0, syscr = 0, syscw = 0;
};

IoCounters ReadCounters() {
    IoCounters c;
    FILE* io = std::fopen("/proc/self/io", "r");
    char name[32];
    long long value;
    while (io && std::fscanf(io, "%31[^:]: %lld\n", name, &value) == 2) {
        const QByteArray key(name);
        if (key == "rchar")
            c.rchar = value;
        if (key == "wchar")
            c.wchar = value;
        if (key == "syscr")
            c.syscr = value;
        if (key == "syscw")
            c.syscw = value;
    }
    if (io)
        std::fclose(io);
    return c;
}

void Marker() {
    ::getppid();
}

IoCounters Between(const IoCounters& a, const IoCounters& b) {
    return {b.rchar - a.rchar, b.wchar - a.wchar, b.syscr - a.syscr, b.syscw - a.syscw};
}

void Report(const char* what, int mib, const IoCounters& measured, const IoCounters& overhead) {
    const IoCounters c{measured.rchar - overhead.rchar, measured.wchar - overhead.wchar,
                       measured.syscr - overhead.syscr, measured.syscw - overhead.syscw};
    std::printf("%s %d MiB: read %lld bytes in %lld calls, wrote %lld bytes in %lld calls\n", what,
                mib, c.rchar, c.syscr, c.wchar, c.syscw);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3)
        return 2;
    for (int i = 2; i < argc; ++i) {
        const int mib = std::atoi(argv[i]);
        const QByteArray path = QByteArray(argv[1]) + "/image-" + argv[i] + ".gba";
        // A sparse image of that size with the Fire Red code and a chart of 111 records.
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::ftruncate(fd, off_t(mib) << 20) != 0 ||
            ::pwrite(fd, "BPRE", 4, GameCodeOffset) != 4 ||
            ::pwrite(fd, "\xff\xff\x00", 3, 0x24F050 + ChartSize) != 3)
            return 1;
        ::close(fd);

        const IoCounters first = ReadCounters();
        const IoCounters overhead = Between(first, ReadCounters());

        IoCounters before = ReadCounters();
        Marker();
        RomStream.open(QFile::decodeName(path));
        const bool identified = FindTableOffset(ReadGameCode());
        ReadTypeChart();
        BuildEntryTexts();
        Marker();
        Report("open", mib, Between(before, ReadCounters()), overhead);
        if (!identified)
            return 1;

        before = ReadCounters();
        Marker();
        WriteTypeChart();
        Marker();
        Report("save", mib, Between(before, ReadCounters()), overhead);
        RomStream.close();
        ::unlink(path.constData());
        if (RomStream.fail())
            return 1;
    }
    return 0;
}

// A station reading the roster while another saves it: reads the whole file again and again until
// the stop file appears, and counts every read that is none of the given whole files.
//
//   roster_reader <roster> <stop file> <whole file>...
//
// Prints "reads torn" and exits with 0 when no read was torn.

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: roster_reader <roster> <stop file> <whole file>...\n");
        return 2;
    }
    QList<QByteArray> whole;
    for (qsizetype i = 3; i < args.size(); ++i) {
        QFile file(args[i]);
        if (!file.open(QIODevice::ReadOnly))
            return 2;
        whole.append(file.readAll());
    }
    long reads = 0;
    long torn = 0;
    while (!QFile::exists(args[2])) {
        QFile roster(args[1]);
        if (!roster.open(QIODevice::ReadOnly)) {
            ++torn; // the roster is never missing while it is replaced
            continue;
        }
        const QByteArray bytes = roster.readAll();
        ++reads;
        if (!whole.contains(bytes))
            ++torn;
    }
    std::printf("%ld %ld\n", reads, torn);
    return torn == 0 ? 0 : 1;
}

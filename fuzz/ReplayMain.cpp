// Replays inputs through a fuzz target's entry point without libFuzzer: every file named on the
// command line, or found in a folder named there, is fed once. The regular test run replays the
// seeds (among them every input that once crashed a target) this way, with whatever sanitizers
// that build carries, so an input that crashed once stays a test.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        QStringList files { arg };
        if (QFileInfo(arg).isDir()) {
            files.clear();
            const QDir dir(arg);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                files << dir.filePath(name);
        }
        for (const QString& file : files) {
            if (!Replay(file))
                return 1;
            ++replayed;
        }
    }
    std::printf("%d inputs replayed without a fault\n", replayed);
    return replayed > 0 ? 0 : 1;
}

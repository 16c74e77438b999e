#include "PdfPages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace PdfPages {

int Count(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    // "/Type /Page" names a page; "/Type /Pages" the tree that holds them.
    return static_cast<int>(text.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

bool CanRender() { return !QStandardPaths::findExecutable("pdftoppm").isEmpty(); }

std::vector<QImage> Render(const QString& path)
{
    std::vector<QImage> pages;
    QTemporaryDir dir;
    if (!CanRender() || !dir.isValid())
        return pages;
    QProcess run;
    run.start("pdftoppm", { "-r", "40", "-png", path, dir.filePath("page") });
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return pages;
    QStringList names = QDir(dir.path()).entryList({ "page*.png" }, QDir::Files, QDir::Name);
    for (const QString& name : names)
        pages.push_back(QImage(dir.filePath(name)));
    return pages;
}

double InkShare(const QImage& page)
{
    if (page.isNull())
        return 0;
    const QImage rgb = page.convertToFormat(QImage::Format_RGB32);
    qint64 ink = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (qGray(rgb.pixel(x, y)) < 230)
                ++ink;
    return static_cast<double>(ink) / (static_cast<double>(rgb.width()) * rgb.height());
}

bool CanReadText() { return !QStandardPaths::findExecutable("pdftotext").isEmpty(); }

QString Text(const QString& path)
{
    QProcess run;
    // In reading order, without joining a line that ends in "-" to the next.
    run.start("pdftotext", { "-raw", "-enc", "UTF-8", path, "-" });
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return {};
    // Ligatures ("ﬀ") as their letters.
    return QString::fromUtf8(run.readAllStandardOutput()).normalized(QString::NormalizationForm_KC).simplified();
}

std::vector<Word> Words(const QString& path)
{
    std::vector<Word> words;
    QProcess run;
    run.start("pdftotext", { "-bbox", "-enc", "UTF-8", path, "-" });
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return words;
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    static const QRegularExpression tag(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
        "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    int page = -1;
    QSizeF size;
    for (auto m = tag.globalMatch(html); m.hasNext();) {
        const QRegularExpressionMatch t = m.next();
        if (!t.captured(1).isEmpty()) {
            ++page;
            size = QSizeF(t.captured(1).toDouble(), t.captured(2).toDouble());
            continue;
        }
        const QPointF from(t.captured(3).toDouble(), t.captured(4).toDouble());
        const QPointF to(t.captured(5).toDouble(), t.captured(6).toDouble());
        QString text = t.captured(7);
        text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
        words.push_back({ text, page, QRectF(from, to), size });
    }
    return words;
}

} // namespace PdfPages

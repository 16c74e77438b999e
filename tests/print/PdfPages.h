#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

// Reading back the PDF files the tests write.
namespace PdfPages {

// The number of pages in the file's page objects; -1 when it cannot be read.
int Count(const QString& path);
// Whether pdftoppm is there to render pages.
bool CanRender();
// Every page rendered to a picture at a low resolution; empty when it could not be rendered.
std::vector<QImage> Render(const QString& path);
// The share of pixels that are not (nearly) white.
double InkShare(const QImage& page);
// Whether pdftotext is there to read the text of a file.
bool CanReadText();
// The text of every page as pdftotext finds it, in reading order, runs of white space made one space.
QString Text(const QString& path);

// A word of a page where pdftotext finds it, in points from the page's top left corner.
struct Word {
    QString text;
    int page = 0; // from 0
    QRectF box;
    QSizeF pageSize;
};
// Every word of the file with its box; empty when pdftotext cannot read it.
std::vector<Word> Words(const QString& path);

} // namespace PdfPages

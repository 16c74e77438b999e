#include "about/AboutDialog.h"

#include "about/Branding.h"
#include "lang/LangString.h"
#include "model/ImageLayout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

// The maker's logo: drawn, so the program carries no image file of its own.
QPixmap makerLogo()
{
    QPixmap logo(161, 81);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 3));
    p.drawRoundedRect(QRectF(2, 2, 157, 77), 10, 10);
    QFont f = p.font();
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 161, 81), Qt::AlignCenter, QString::fromUtf8(ProgramBranding().company));
    return logo;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("FormAbout");
    setFixedSize(342, 420);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    const Branding& b = ProgramBranding();
    Place("LabelAbout", 16, 24, "Program for setting of ignition", 16);
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setGeometry(32, 72, 161, 81);
    image->setPixmap(makerLogo());
    Place("Label2", 32, 180, QString::fromUtf8(b.company), 16);
    Place("Label3", 32, 205, QString::fromUtf8(b.street), 16);
    Place("Label4", 32, 230, QString::fromUtf8(b.town), 16);
    Place("Label5", 32, 255, QString::fromUtf8(b.country), 16);
    Place("Label9", 32, 291, QString::fromUtf8(b.email), 16);
    Place("Label10", 32, 316, QString::fromUtf8(b.web), 16);
    Place("LabelDate", 32, 350, __DATE__, 12);
    Place("LabelTime", 32, 370, __TIME__, 12);
    Place("LabelRsKey", 32, 391, QString("Version - %1.%2").arg(PROGRAM_KEY).arg(PROGRAM_SUBVERSION), 12);

    // A real button, the box's default: Enter closes the box as Esc does.
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("ButtonOK");
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->adjustSize();
    ok->move(width() - ok->width() - 16, height() - ok->height() - 16);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
}

QLabel* AboutDialog::Place(const char* name, int left, int top, const QString& text, int pixelSize)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    QFont f = l->font();
    f.setPixelSize(pixelSize);
    l->setFont(f);
    l->move(left, top);
    l->adjustSize();
    return l;
}

void AboutDialog::MenuAboutClick()
{
    setWindowTitle(QString::fromUtf8(LangText("###About VORDAX4##Über Programm VORDAX4##O programu VORDAX4")));
    exec();
}

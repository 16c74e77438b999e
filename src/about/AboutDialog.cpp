#include "about/AboutDialog.h"

#include "about/Branding.h"
#include "lang/LangString.h"
#include "model/ImageLayout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The box as it is laid out: every label at its place inside it.
const QSize CONTENT_SIZE(342, 420);
constexpr int FRAME_ALLOWANCE = 40;
constexpr int OK_MARGIN = 16;

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

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), content_(new QWidget)
{
    setObjectName("FormAbout");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    content_->setObjectName("AboutContent");
    content_->setFixedSize(CONTENT_SIZE);
    content_->setAutoFillBackground(true);

    const Branding& b = ProgramBranding();
    Place("LabelAbout", 16, 24, "Program for setting of ignition", 16);
    auto* image = new QLabel(content_);
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

    // On a small or strongly scaled screen the box shrinks and its content scrolls.
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(content_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    scroll_->viewport()->installEventFilter(this);

    // A real button, the box's default: Enter closes the box as Esc does. It stays in the box's
    // corner while the content scrolls, so it can always be clicked.
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("ButtonOK");
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    ok_->adjustSize();
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* s = QGuiApplication::primaryScreen())
        FitInto(s->availableGeometry());
}

void AboutDialog::FitInto(const QRect& available)
{
    // The window manager's title bar and frame come on top of the box.
    const QSize room = (available.size() - QSize(FRAME_ALLOWANCE, FRAME_ALLOWANCE)).expandedTo(QSize(1, 1));
    // A scroll bar one way takes room the other way: the box grows by it where it can.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    QSize size = CONTENT_SIZE;
    if (size.height() > room.height())
        size.rwidth() += bar;
    if (size.width() > room.width())
        size.rheight() += bar;
    setFixedSize(size.boundedTo(room));
    move(available.center() - rect().center());
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* e)
{
    // The seen part of the content changes with the box and with the scroll bars coming and going.
    if (watched == scroll_->viewport() && e->type() == QEvent::Resize)
        PlaceOk();
    return QDialog::eventFilter(watched, e);
}

void AboutDialog::PlaceOk()
{
    const QRect view = scroll_->viewport()->geometry();
    ok_->move(view.right() + 1 - ok_->width() - OK_MARGIN, view.bottom() + 1 - ok_->height() - OK_MARGIN);
    ok_->raise();
}

QLabel* AboutDialog::Place(const char* name, int left, int top, const QString& text, int pixelSize)
{
    auto* l = new QLabel(text, content_);
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

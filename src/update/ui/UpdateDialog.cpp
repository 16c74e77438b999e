#include "update/ui/UpdateDialog.h"

#include "lang/LangString.h"
#include "update/CodePage.h"
#include "update/RtfReader.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace {

struct Caption {
    const char* english;
    const char* czech;
};

constexpr Caption kWindowCaption = { "Update", "Aktualizace" };
constexpr Caption kDownload = { "Download update", "Stáhni aktualizaci" };
constexpr Caption kWww = { "go to WWW", "jdi na WWW" };
constexpr Caption kCancelDontRemind = { "Cancel (don't remind this update)", "Zpět (nepřipomínej tuto aktualizaci)" };
constexpr Caption kDownloadFrom = { "Download from:", "Stáhnout z:" };
constexpr Caption kWebPage = { "Web page:", "Webová stránka:" };
constexpr Caption kCancelLater = { "Cancel (remaind later)", "Zpět (připomeň příště)" };

QString Text(const Caption& c) { return QString::fromUtf8(LanguageIndex == LANG_CZECH ? c.czech : c.english); }

QPushButton* MakeButton(QWidget* parent, const char* name)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

UpdateDialog::UpdateDialog(QWidget* parent, LinkOpener openLink)
    : QDialog(parent)
    , openLink_(std::move(openLink))
{
    setObjectName("FormPatch");
    setFixedSize(WIDTH, HEIGHT);
    if (!openLink_)
        openLink_ = [](const std::string& link) { QDesktopServices::openUrl(QUrl(QString::fromStdString(link))); };

    RichEditPatch = new QTextEdit(this);
    RichEditPatch->setObjectName("RichEditPatch");
    RichEditPatch->setReadOnly(true);
    QFont font("Tahoma");
    font.setPixelSize(15);
    RichEditPatch->setFont(font);
    RichEditPatch->document()->setDefaultFont(font);

    LabelPatchLinks = new QLabel(this);
    LabelPatchLinks->setObjectName("LabelPatchLinks");
    LabelPatchLinks->setTextFormat(Qt::PlainText);
    LabelPatchLinks->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelPatchLinks->setWordWrap(true);

    ButtonPatchDownload = MakeButton(this, "ButtonPatchDownload");
    ButtonPatchDownload->setDefault(true);
    ButtonPatchWWW = MakeButton(this, "ButtonPatchWWW");
    ButtonPatchCancel1 = MakeButton(this, "ButtonPatchCancel1");
    ButtonPatchCancel = MakeButton(this, "ButtonPatchCancel");

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : { ButtonPatchDownload, ButtonPatchWWW, ButtonPatchCancel1, ButtonPatchCancel })
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RichEditPatch, 1);
    layout->addWidget(LabelPatchLinks);
    layout->addLayout(buttons);

    connect(ButtonPatchDownload, &QPushButton::clicked, this, [this] { done(RESULT_DOWNLOAD); });
    connect(ButtonPatchCancel1, &QPushButton::clicked, this, [this] { done(RESULT_DONT_REMIND); });
    connect(ButtonPatchCancel, &QPushButton::clicked, this, [this] { done(RESULT_LATER); });
    connect(ButtonPatchWWW, &QPushButton::clicked, this, [this] {
        if (!webLink_.empty())
            openLink_(webLink_);
    });
    applyTexts();
}

void UpdateDialog::applyTexts()
{
    setWindowTitle(Text(kWindowCaption));
    ButtonPatchDownload->setText(Text(kDownload));
    ButtonPatchWWW->setText(Text(kWww));
    ButtonPatchCancel1->setText(Text(kCancelDontRemind));
    ButtonPatchCancel->setText(Text(kCancelLater));
    showLinks();
}

void UpdateDialog::showLinks()
{
    QStringList lines;
    if (!downloadLink_.empty())
        lines << Text(kDownloadFrom) + " " + QString::fromStdString(downloadLink_);
    if (!webLink_.empty())
        lines << Text(kWebPage) + " " + QString::fromStdString(webLink_);
    LabelPatchLinks->setText(lines.join('\n'));
    LabelPatchLinks->setHidden(lines.isEmpty());
}

void UpdateDialog::setOffer(const UpdateOffer& offer)
{
    webLink_ = offer.webLink;
    downloadLink_ = offer.downloadLink;
    showLinks();
    ButtonPatchDownload->setVisible(!offer.downloadLink.empty());
    ButtonPatchWWW->setVisible(!offer.webLink.empty());
    showDescription(offer);
}

// The toolkit reads no RTF, so RTF descriptions go through our own reader into the text box.
void UpdateDialog::showDescription(const UpdateOffer& offer)
{
    RichEditPatch->clear();
    if (!offer.rtf) {
        RichEditPatch->setPlainText(QString::fromUtf8(DocumentTextToUtf8(offer.description).c_str()));
        return;
    }
    const RtfText text = ReadRtf(offer.description);
    QTextCursor cursor(RichEditPatch->document());
    for (size_t i = 0; i < text.paragraphs.size(); ++i) {
        if (i)
            cursor.insertBlock();
        for (const RtfRun& run : text.paragraphs[i].runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            QString s = QString::fromUtf8(run.text.c_str());
            s.replace(QChar('\n'), QChar::LineSeparator);
            cursor.insertText(s, format);
        }
    }
    RichEditPatch->moveCursor(QTextCursor::Start);
}

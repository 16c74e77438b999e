#include "update/ui/UpdateDialog.h"
#include "lang/LangString.h"
#include "update/ui/PatchWindowHost.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

UpdateOffer FullOffer()
{
    UpdateOffer offer;
    offer.updateNumber = 7;
    offer.description = "New version";
    offer.webLink = "http://example.com/";
    offer.downloadLink = "http://example.com/setup.exe";
    return offer;
}

class FormPatch : public testing::Test {
protected:
    ~FormPatch() override { LanguageIndex = LANG_ENGLISH; }
};

} // namespace

TEST_F(FormPatch, SizeFontAndControls)
{
    UpdateDialog form;
    EXPECT_EQ(form.size(), QSize(667, 475));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.RichEditPatch->isReadOnly());
    EXPECT_EQ(form.RichEditPatch->font().pixelSize(), 15);
    EXPECT_EQ(form.RichEditPatch->font().family(), "Tahoma");
    EXPECT_TRUE(form.ButtonPatchDownload->isDefault());
    for (const char* name :
        { "RichEditPatch", "ButtonPatchDownload", "ButtonPatchWWW", "ButtonPatchCancel1", "ButtonPatchCancel" })
        EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
}

TEST_F(FormPatch, TextsByLanguage)
{
    struct Case {
        int language;
        const char* caption;
        const char* download;
        const char* www;
        const char* dontRemind;
        const char* later;
    } cases[] = {
        { LANG_ENGLISH, "Update", "Download update", "go to WWW", "Cancel (don't remind this update)",
            "Cancel (remaind later)" },
        { LANG_GERMAN, "Update", "Download update", "go to WWW", "Cancel (don't remind this update)",
            "Cancel (remaind later)" },
        { LANG_CZECH, "Aktualizace", "Stáhni aktualizaci", "jdi na WWW", "Zpět (nepřipomínej tuto aktualizaci)",
            "Zpět (připomeň příště)" },
    };
    for (const Case& c : cases) {
        LanguageIndex = c.language;
        UpdateDialog form;
        EXPECT_EQ(form.windowTitle().toStdString(), c.caption);
        EXPECT_EQ(form.ButtonPatchDownload->text().toStdString(), c.download);
        EXPECT_EQ(form.ButtonPatchWWW->text().toStdString(), c.www);
        EXPECT_EQ(form.ButtonPatchCancel1->text().toStdString(), c.dontRemind);
        EXPECT_EQ(form.ButtonPatchCancel->text().toStdString(), c.later);
    }
}

TEST_F(FormPatch, ButtonsWithoutLinksAreHidden)
{
    UpdateDialog form;
    UpdateOffer offer = FullOffer();
    form.setOffer(offer);
    EXPECT_FALSE(form.ButtonPatchDownload->isHidden());
    EXPECT_FALSE(form.ButtonPatchWWW->isHidden());
    offer.downloadLink.clear();
    offer.webLink.clear();
    form.setOffer(offer);
    EXPECT_TRUE(form.ButtonPatchDownload->isHidden());
    EXPECT_TRUE(form.ButtonPatchWWW->isHidden());
    EXPECT_FALSE(form.ButtonPatchCancel->isHidden());
    EXPECT_FALSE(form.ButtonPatchCancel1->isHidden());
}

TEST_F(FormPatch, ButtonResults)
{
    struct Case {
        QPushButton* UpdateDialog::*button;
        int result;
    } cases[] = {
        { &UpdateDialog::ButtonPatchDownload, 1 },
        { &UpdateDialog::ButtonPatchCancel, 2 },
        { &UpdateDialog::ButtonPatchCancel1, 3 },
    };
    for (const Case& c : cases) {
        UpdateDialog form;
        form.setOffer(FullOffer());
        form.open();
        QTest::mouseClick(form.*(c.button), Qt::LeftButton);
        EXPECT_EQ(form.result(), c.result);
        EXPECT_FALSE(form.isVisible());
    }
}

TEST_F(FormPatch, WwwOpensTheWebLinkAndTheDialogStays)
{
    std::vector<std::string> opened;
    UpdateDialog form(nullptr, [&](const std::string& link) { opened.push_back(link); });
    form.setOffer(FullOffer());
    form.open();
    QTest::mouseClick(form.ButtonPatchWWW, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<std::string> { "http://example.com/" });
    EXPECT_TRUE(form.isVisible());
    form.reject();
}

TEST_F(FormPatch, RtfDescriptionIsShownFormatted)
{
    UpdateDialog form;
    UpdateOffer offer = FullOffer();
    offer.description
        = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Tahoma;}}Nov\\'e1 \\b verze\\b0\\par \\i druh\\'fd\\i0}";
    offer.rtf = true;
    form.setOffer(offer);
    QTextDocument* doc = form.RichEditPatch->document();
    EXPECT_EQ(doc->toPlainText().toStdString(), "Nová verze\ndruhý");
    ASSERT_EQ(doc->blockCount(), 2);
    QTextCursor cursor(doc);
    cursor.setPosition(7); // inside "verze"
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(2);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(doc->lastBlock().position() + 2);
    EXPECT_TRUE(cursor.charFormat().fontItalic());
}

TEST_F(FormPatch, PlainDescriptionInWindows1250)
{
    UpdateDialog form;
    UpdateOffer offer = FullOffer();
    offer.description = "Nov\xE1 verze {rtf}";
    form.setOffer(offer);
    EXPECT_EQ(form.RichEditPatch->toPlainText().toStdString(), "Nová verze {rtf}");
}

TEST_F(FormPatch, WindowHostCentresTheDialogAndReturnsItsResult)
{
    QMainWindow window;
    window.setGeometry(100, 100, 900, 700);
    window.show();
    std::vector<std::string> status;
    PatchWindowHost host(&window, [&](const std::string& s) { status.push_back(s); }, {});
    QPoint dialogCentre;
    host.onDialogShown = [&](UpdateDialog& dialog) {
        dialogCentre = dialog.geometry().center();
        QTimer::singleShot(0, dialog.ButtonPatchCancel1, &QPushButton::click);
    };
    EXPECT_EQ(host.ShowPatchDialog(FullOffer()), 3);
    EXPECT_LE((dialogCentre - window.frameGeometry().center()).manhattanLength(), 4);

    host.onDialogShown = [](UpdateDialog& dialog) { QTimer::singleShot(0, &dialog, &QDialog::reject); };
    EXPECT_EQ(host.ShowPatchDialog(FullOffer()), 2) << "closing the dialog means remind later";
    host.SetStatusText("x");
    EXPECT_EQ(status, std::vector<std::string> { "x" });
}

TEST_F(FormPatch, TheLinksAreShownBeforeAnythingIsOpened)
{
    std::vector<std::string> opened;
    UpdateDialog form(nullptr, [&](const std::string& link) { opened.push_back(link); });
    UpdateOffer offer = FullOffer();
    form.setOffer(offer);
    EXPECT_EQ(form.LabelPatchLinks->text(),
        "Download from: http://example.com/setup.exe\nWeb page: http://example.com/");
    LanguageIndex = LANG_CZECH;
    form.applyTexts();
    EXPECT_TRUE(form.LabelPatchLinks->text().startsWith("Stáhnout z: http://example.com/setup.exe"));
    offer.downloadLink.clear();
    offer.webLink.clear();
    form.setOffer(offer);
    EXPECT_TRUE(form.LabelPatchLinks->isHidden());
    EXPECT_TRUE(opened.empty());
}

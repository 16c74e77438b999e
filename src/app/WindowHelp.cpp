#include "app/WindowHelp.h"

#include "about/AboutDialog.h"
#include "about/Branding.h"
#include "lang/LangString.h"

#include <QDesktopServices>
#include <QMenuBar>
#include <QUrl>
#include <QWidget>

WindowHelp::WindowHelp(QWidget& window, ErrorBox errorBox)
    : window_(window)
    , errorBox_(std::move(errorBox))
{
}

AboutDialog* WindowHelp::AboutBox()
{
    if (!aboutBox_)
        aboutBox_ = new AboutDialog(&window_);
    return aboutBox_;
}

void WindowHelp::CreateMenu(QMenuBar* bar)
{
    QMenu* help = bar->addMenu(QString());
    help->menuAction()->setObjectName("MenuHelp");
    help->addAction(QString(), QKeySequence(Qt::Key_F1), this, &WindowHelp::OpenManual)->setObjectName("MenuContens");
    help->addAction(QString(), this, [this] { AboutBox()->MenuAboutClick(); })->setObjectName("MenuAbout");
}

void WindowHelp::OpenManual()
{
    const QString address = QString::fromUtf8(ProgramBranding().webHost) + ManualPath(LanguageIndex);
    const bool opened = openUrl ? openUrl(address) : QDesktopServices::openUrl(QUrl(address));
    if (!opened) {
        const QString text = QString("%1 %2 !").arg(QString::fromUtf8(LangText(
            "###Error by opening www link##Fehler beim öffnen der www Link##Chyba při otevírání www odkazu")), address);
        errorBox_(text.toStdString());
    }
}

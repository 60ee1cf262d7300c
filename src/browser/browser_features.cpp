#include "browser/browser_features.h"

#include "browser/certificates.h"
#include "browser/downloads.h"
#include "browser/printing.h"
#include "browser/sign_in.h"
#include "browser/zoom.h"
#include "platform/web_browser.h"

#include <QWebEngineProfile>

namespace gradecast {

void EquipProgram(QCoreApplication *application)
{
    WebBrowser::equipProfile(QWebEngineProfile::defaultProfile());
    WatchDownloads();
    EnableWheelZoom(application);
}

void EquipBrowser(WebBrowser *browser)
{
    WatchCertificates(browser);
    NoteDownloadEncoding(browser);
    EnablePrinting(browser);
    EnableSignIn(browser);
    EnableZoom(browser);
}

} // namespace gradecast

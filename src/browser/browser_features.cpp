#include "browser/browser_features.h"

#include "browser/certificates.h"
#include "browser/downloads.h"
#include "browser/printing.h"
#include "browser/sign_in.h"
#include "browser/zoom.h"

namespace gradecast {

void EquipBrowser(WebBrowser *browser)
{
    WatchCertificates(browser);
    WatchDownloads(browser);
    EnablePrinting(browser);
    EnableSignIn(browser);
    EnableZoom(browser);
}

} // namespace gradecast

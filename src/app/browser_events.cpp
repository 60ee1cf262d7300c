#include "app/form1.h"

#include "app/windows.h"
#include "app/twips.h"
#include "platform/web_browser.h"

namespace gradecast {

// A page that opens a window gets a complete window of its own. Its start-up
// has begun loading its home address; the engine loads the page that asked
// for the window in its place. A page that opens windows without end is
// stopped at MaxOpenWindows, so the desktop stays usable.
void Form1::WB1_NewWindow2(WebBrowser **ppDisp, bool *Cancel)
{
    if (!MayOpenWindow(this)) {
        *Cancel = true;
        return;
    }
    // The engine finds windows by name itself: nothing to register.
    auto *window = new Form1;
    *ppDisp = window->WB1;
    window->show();
}

// Pages and the engine may move the browser; every completed load puts it
// back where the last layout left it.
void Form1::WB1_NavigateComplete2()
{
    const BrowserPlacement &p = m_browserPlacement;
    placeAt(WB1, {float(p.left), float(p.top), float(p.width), float(p.height)});
}

// A page that closes its window, or lets it close, closes that window alone:
// the scores and settings in the other windows stay.
void Form1::WB1_WindowClosing()
{
    closing(CloseEvent::PageCloses);
}

// The teacher stays on the page: the window stays, and so does every other
// when this was quitting.
void Form1::WB1_CloseRefused()
{
    closing(CloseEvent::PageStays);
}

} // namespace gradecast

#pragma once

class QWebEngineCertificateError;

namespace gradecast {

class WebBrowser;

// A site whose certificate the system does not accept: when the engine lets a
// user go on, the teacher is asked (No is the default); a Yes holds for that
// host with that certificate in every window until the program ends. Errors
// the engine does not let anyone override are refused without a question.
void WatchCertificates(WebBrowser *browser);

// Accepts the error when the teacher has accepted that certificate of that
// host in this run, and refuses it otherwise; true when accepted. For the
// program's own page loads, which nobody sees.
bool AcceptKnownCertificate(QWebEngineCertificateError error);

} // namespace gradecast

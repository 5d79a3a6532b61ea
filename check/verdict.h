#ifndef CHECK_VERDICT_H
#define CHECK_VERDICT_H

#include "check/result.h"

#include <QString>

#include <QNetworkReply>

struct HttpDownload;

// Why a command could not run (its program not started, its bound reached); empty when it ran
// to its end, whatever it printed or returned.
QString commandFailure(bool couldNotStart, const QString &program, bool timedOut, int boundMs);
// Why no connection came about (refused, no such host, no secure connection); empty for any
// other error.
QString connectionFailure(QNetworkReply::NetworkError error);
// Why a page could not be fetched whole (refused, no such host, no secure connection, cut off,
// its bound reached, or not fetched at all); empty when it came. An HTTP error status is a page
// that came, and a body cut at our own cap is judged on its part.
QString pageFailure(const HttpDownload &download, int boundMs);
// A check that could not run fails, whatever its success text; one that ran passes when its
// text (a command's trimmed output, a page) held the trimmed success text.
Verdict judge(bool heldSuccessText, const QString &reason);

#endif

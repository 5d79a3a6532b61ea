#ifndef PROBE_SCANRANGE_H
#define PROBE_SCANRANGE_H

#include <QString>

// The highest last number of a scanned address.
constexpr int kMaxScanNumber = 255;

// The addresses prefix + "." + n for n from first to last (none when first > last).
struct ScanRange
{
    QString prefix;
    int first = 0;
    int last = -1;
};

// Splits trimmed text at its last "."; the number is 0 when the part after it is no number.
void splitScanAddress(const QString &text, QString *prefix, int *number);
// Exactly four dot-separated decimal numbers 0-255 without leading zeros, signs or
// inner blanks; blanks around them do not matter.
bool isPlainIPv4(const QString &text);
// Checks the two address texts. Empty and the range filled in when they make a range,
// otherwise the message for the user.
QString checkScanRange(const QString &startText, const QString &endText, ScanRange *range);
// One log line ("Ping <address> >> 成功"); the log holds them newest first.
QString scanLogLine(const QString &address, const QString &verdictWord);

#endif

#ifndef STARTUP_H
#define STARTUP_H

#include <QString>

// True when the path names an existing regular file.
bool fileExists(const QString &path);
// The whole file, every line ended by "\n" (a line ends at LF, CRLF or a lone CR); a
// byte-order mark is honoured. Empty when the file is missing or unreadable.
QString readTextFile(const QString &path);

// A start-up fetch still unanswered after this long is given up, so an unreachable
// server delays the window by seconds, not minutes.
constexpr int kStartupFetchTimeoutMs = 2000;

// What start-up fetches: the banner picture (only while logo.gif is missing), the
// about page and the advertisement line, each bounded by timeoutMs.
struct StartupAddresses
{
    QString banner;
    QString about;
    QString advertisement;
    int timeoutMs = kStartupFetchTimeoutMs;
};

// The addresses chosen when the program was built (pages shipped in the program by default).
StartupAddresses builtInStartupAddresses();
// What the next start-up uses: the built-in addresses unless a test has set others.
StartupAddresses startupAddresses();
void setStartupAddresses(const StartupAddresses &addresses);

// The bottom-bar line: the link to the deployer's site, then their e-mail and
// instant-messaging contacts. An item left empty when building is left out.
QString bottomBarLine(
    const QString &linkUrl, const QString &linkText, const QString &mail, const QString &im);

// The about page naming the folder of the program's files: in place of the marker
// <!--netcheck-folder--> of the shipped page, or in a line below a page without it.
QString aboutPageNamingFolder(const QString &page, const QString &folder);

// Hands an activated bottom-bar link to the desktop (normally the web browser).
void openLink(const QString &link);

#endif

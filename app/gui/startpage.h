#ifndef GUI_STARTPAGE_H
#define GUI_STARTPAGE_H

#include <QString>

class QLabel;
class QWidget;
class Ui_fromlanrik;

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

// The window's title, its bottom bar, and the log folder.
void startShell(QWidget *window, Ui_fromlanrik *ui);
// The basic information page: the system information, and on Linux the network interfaces.
QString basicInformationPage();
// The about page and the advertisement line, loading nothing either names.
void showStartupPages(Ui_fromlanrik *ui, const StartupAddresses &addresses);

// Plays the picture file (an animation or a still) in the label, every frame scaled to the
// label's current size. The movie belongs to the label.
void playPicture(QLabel *label, const QString &path);
// Plays the cached banner "%1/logo.gif"; false when there is none.
bool playCachedBanner(QLabel *label);
// Downloads the banner picture, keeps it as "%1/logo.gif" in the program's data folder and
// plays it in the label. A failed or empty download, or a file that cannot be written, leaves
// no file and a blank label.
void fetchBanner(QLabel *label, const QString &address, int timeoutMs);

#endif

#ifndef GUI_SHALLOWHTML_H
#define GUI_SHALLOWHTML_H

#include <QString>

// The toolkit takes time growing with the square of how deep markup nests (seconds for some
// thousands of <b>), and doubling with every table inside a table (18 s for 20): a page must not
// freeze the window that way.
constexpr int kHtmlMaxDepth = 100; // elements open inside each other
constexpr int kHtmlMaxTables = 8; // tables inside each other

// The markup with every tag dropped that would open an element deeper than those bounds (and
// its end tag); the text inside stays. Markup within the bounds is returned as it is.
QString shallowHtml(const QString &html);

#endif
